#include "gui/analysis/verify_report_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <set>

#include "core/verify_fix.h"
#include "gui/analysis/save_file_dialog.h"
#include "gui/base/help.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/base/widget_names.h"

namespace {

enum Column { kPortfolio, kSymbol, kDay, kKind, kValues, kColumns };
// Where a row keeps its finding's place in the report, so sorting never loses it.
constexpr int kFindingRole = Qt::UserRole + 1;
// The most lines the mend's confirmation lists before "and N more".
constexpr int kListedChanges = 25;

QString text(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

CVerifyReportDlg::CVerifyReportDlg(QWidget* parent, const QString& title, bool tree,
                                   std::vector<core::Finding> findings, Rerun rerun)
    : QDialog(parent),
      m_tree(tree),
      m_findings(std::move(findings)),
      m_rerun(std::move(rerun)),
      m_summary(named(new QLabel(this), "summary")),
      m_kinds(named(new QComboBox(this), "kinds")),
      m_table(named(new QTableView(this), "findings")),
      m_model(new QStandardItemModel(0, kColumns, this)),
      m_filter(new QSortFilterProxyModel(this)),
      m_mend(named(new QPushButton(QStringLiteral("Mend order and repeats"), this), "mend")) {
  setObjectName(QStringLiteral("verifyReport"));
  setWindowTitle(title);
  setModal(false);
  setAttribute(Qt::WA_DeleteOnClose);
  m_model->setHorizontalHeaderLabels({QStringLiteral("Portfolio"), QStringLiteral("Symbol"),
                                      QStringLiteral("Day"), QStringLiteral("Kind"),
                                      QStringLiteral("Values")});
  m_filter->setSourceModel(m_model);
  m_filter->setFilterKeyColumn(kKind);
  m_table->setModel(m_filter);
  m_table->setSortingEnabled(true);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->setColumnHidden(kPortfolio, !m_tree);

  auto* saveAs = named(new QPushButton(QStringLiteral("Save As..."), this), "saveAs");
  auto* close = named(new QPushButton(QStringLiteral("Close"), this), "close");
  auto* top = new QHBoxLayout;
  top->addWidget(m_summary, 1);
  top->addWidget(new QLabel(QStringLiteral("Kind:"), this));
  top->addWidget(m_kinds);
  // Enter closes the report; the mend is never one key press away.
  m_mend->setAutoDefault(false);
  saveAs->setAutoDefault(false);
  close->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(saveAs);
  buttons->addWidget(m_mend);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_table, 1);
  layout->addLayout(buttons);
  resize(760, 420);
  addHelpKey(this, QStringLiteral("verify"));

  connect(m_kinds, &QComboBox::currentIndexChanged, this,
          [this](int index) { setKindFilter(index <= 0 ? QString() : m_kinds->itemText(index)); });
  connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (const core::Finding* finding = findingAt(index.row())) emit findingActivated(*finding);
  });
  connect(saveAs, &QPushButton::clicked, this, &CVerifyReportDlg::saveAs);
  connect(m_mend, &QPushButton::clicked, this, &CVerifyReportDlg::mend);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  fill();
}

void CVerifyReportDlg::setFindings(std::vector<core::Finding> findings) {
  m_findings = std::move(findings);
  fill();
}

void CVerifyReportDlg::fill() {
  m_table->setSortingEnabled(false);
  m_model->removeRows(0, m_model->rowCount());
  std::set<std::string> portfolios, symbols;
  std::set<int> kinds;
  for (std::size_t i = 0; i < m_findings.size(); ++i) {
    const core::Finding& finding = m_findings[i];
    QList<QStandardItem*> row;
    row << new QStandardItem(fromPathString(finding.portfolio))
        << new QStandardItem(text(finding.symbol))
        << new QStandardItem(text(core::finding_day_text(finding)))
        << new QStandardItem(text(core::finding_kind_name(finding.kind)))
        << new QStandardItem(text(finding.values));
    row.front()->setData(static_cast<qulonglong>(i), kFindingRole);
    m_model->appendRow(row);
    portfolios.insert(finding.portfolio);
    if (!finding.symbol.empty()) symbols.insert(finding.portfolio + '\n' + finding.symbol);
    kinds.insert(static_cast<int>(finding.kind));
  }
  m_table->setSortingEnabled(true);
  m_table->resizeColumnsToContents();

  const QString shown = m_kinds->currentIndex() > 0 ? m_kinds->currentText() : QString();
  const QSignalBlocker quiet(m_kinds);
  m_kinds->clear();
  m_kinds->addItem(QStringLiteral("All kinds"));
  for (const int kind : kinds)
    m_kinds->addItem(text(core::finding_kind_name(static_cast<core::FindingKind>(kind))));
  const int again = shown.isEmpty() ? 0 : m_kinds->findText(shown);
  m_kinds->setCurrentIndex(std::max(again, 0));
  setKindFilter(again > 0 ? shown : QString());

  m_summary->setText(m_findings.empty() ? QStringLiteral("Nothing found")
                                        : QStringLiteral("%1 findings for %2 symbols")
                                              .arg(m_findings.size())
                                              .arg(symbols.size()));
  m_mend->setEnabled(!mendablePortfolios().empty());
}

void CVerifyReportDlg::setKindFilter(const QString& kind) {
  m_filter->setFilterRegularExpression(
      kind.isEmpty()
          ? QString()
          : QStringLiteral("^") + QRegularExpression::escape(kind) + QStringLiteral("$"));
  const int index = kind.isEmpty() ? 0 : m_kinds->findText(kind);
  if (index >= 0 && m_kinds->currentIndex() != index) {
    const QSignalBlocker quiet(m_kinds);
    m_kinds->setCurrentIndex(index);
  }
}

const core::Finding* CVerifyReportDlg::findingAt(int row) const {
  const QModelIndex index = m_filter->mapToSource(m_filter->index(row, kPortfolio));
  if (!index.isValid()) return nullptr;
  const auto at = m_model->item(index.row(), kPortfolio)->data(kFindingRole).toULongLong();
  return at < m_findings.size() ? &m_findings[at] : nullptr;
}

void CVerifyReportDlg::saveAs() {
  const QString path = chooseSaveFile(
      this, {QStringLiteral("verify.txt"), QStringLiteral("txt"), true,
             QStringLiteral("Text Files (*.txt);;CSV Files (*.csv);;All Files (*.*)")});
  if (path.isEmpty()) return;
  const bool csv = path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
  if (!core::write_findings(toPathString(path), m_findings, csv, m_tree))
    Prompter::instance().message(this, QStringLiteral("The report could not be written to ") + path,
                                 Prompter::Icon::Stop);
}

std::vector<std::string> CVerifyReportDlg::mendablePortfolios() const {
  std::vector<std::string> out;
  for (const core::Finding& finding : m_findings)
    if (core::finding_kind_mendable(finding.kind) &&
        std::find(out.begin(), out.end(), finding.portfolio) == out.end())
      out.push_back(finding.portfolio);
  return out;
}

void CVerifyReportDlg::mend() {
  const std::vector<std::string> portfolios = mendablePortfolios();
  QStringList changes;
  for (const std::string& dir : portfolios)
    for (const std::string& change : core::mend_portfolio(dir, {}, /*plan_only=*/true).changes)
      changes << (m_tree ? fromPathString(dir) + QStringLiteral(": ") : QString()) + text(change);
  if (changes.isEmpty()) {
    Prompter::instance().message(this, QStringLiteral("Nothing to mend"));
    return;
  }
  QStringList listed = changes.mid(0, kListedChanges);
  if (changes.size() > kListedChanges)
    listed << QStringLiteral("... and %1 more").arg(changes.size() - kListedChanges);
  const QString question = QStringLiteral("Mend order and repeats will change:\n\n") +
                           listed.join(QChar('\n')) +
                           QStringLiteral("\n\nEach file is kept as a backup first. Continue?");
  if (Prompter::instance().message(this, question, Prompter::Icon::Question,
                                   Prompter::Buttons::YesNo) != Prompter::Answer::Yes)
    return;
  QStringList failures;
  for (const std::string& dir : portfolios) {
    const core::MendResult mended = core::mend_portfolio(dir, {}, /*plan_only=*/false);
    if (!mended.ok) failures << text(mended.failure) + text(mended.restore_failed);
  }
  if (!failures.isEmpty())
    Prompter::instance().message(this, failures.join(QStringLiteral("\n\n")), Prompter::Icon::Stop);
  if (m_rerun)
    if (std::optional<std::vector<core::Finding>> again = m_rerun()) setFindings(std::move(*again));
}
