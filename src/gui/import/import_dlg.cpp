#include "gui/import/import_dlg.h"

#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/import_text.h"
#include "gui/base/dialog_keys.h"
#include "gui/base/help.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/base/widget_names.h"
#include "gui/import/import_progress.h"
#include "gui/import/import_texts.h"
#include "qdb/file_system.h"

namespace {

// The preview reads no more of the first file than this: 100 lines fit many times over.
constexpr std::uint64_t kHeadBytes = 64 * 1024;
// A choice's refresh waits this long, so typing a symbol reads the files once.
constexpr int kRefreshDelayMs = 300;
const QString kHelpTopic = QStringLiteral("import");

struct RoleText {
  core::ImportColumn role;
  const char* text;
};
const RoleText kRoles[] = {
    {core::ImportColumn::kSkip, "(skip)"}, {core::ImportColumn::kDate, "Date"},
    {core::ImportColumn::kTime, "Time"},   {core::ImportColumn::kOpen, "Open"},
    {core::ImportColumn::kHigh, "High"},   {core::ImportColumn::kLow, "Low"},
    {core::ImportColumn::kClose, "Close"}, {core::ImportColumn::kVolume, "Volume"},
    {core::ImportColumn::kOi, "Open Int"}, {core::ImportColumn::kTicker, "Ticker"},
    {core::ImportColumn::kName, "Name"},   {core::ImportColumn::kPer, "Per"},
};

// The first file's first lines, cut after the last whole line; empty when it can't be read.
std::string readHead(const std::string& path) {
  const std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return {};
  const std::uint64_t size = file->size();
  std::string head(static_cast<std::size_t>(std::min(size, kHeadBytes)), '\0');
  if (!head.empty() && file->read(head.data(), head.size()) != head.size()) return {};
  if (head.size() < size) {
    const std::size_t end = head.rfind('\n');
    head.resize(end == std::string::npos ? head.size() : end + 1);
  }
  return head;
}

}  // namespace

CImportDlg::CImportDlg(const QStringList& files, const QStringList& portfolios,
                       const QString& selected, QWidget* parent)
    : QDialog(parent),
      m_files(files),
      m_filesLabel(named(new QLabel(this), "files")),
      m_preview(named(new QTableWidget(this), "preview")),
      m_delimiter(named(new QComboBox(this), "delimiter")),
      m_decimal(named(new QComboBox(this), "decimal")),
      m_dateForm(named(new QComboBox(this), "dateForm")),
      m_symbol(named(new QLineEdit(this), "symbol")),
      m_name(named(new QLineEdit(this), "name")),
      m_portfolio(named(new QComboBox(this), "portfolio")),
      m_replace(named(new QCheckBox(QStringLiteral("&Replace matching dates"), this), "replace")),
      m_byLetter(
          named(new QCheckBox(QStringLiteral("New symbols in sub-folders by &first letter"), this),
                "byLetter")),
      m_detected(named(new QLabel(this), "detected")),
      m_summary(named(new QPlainTextEdit(this), "summary")),
      m_ok(nullptr),
      m_refreshTimer(new QTimer(this)) {
  setWindowTitle(QStringLiteral("Import"));
  setModal(true);
  if (!m_files.isEmpty()) m_head = readHead(toPathString(m_files.first()));

  QString filesText = m_files.isEmpty() ? QString() : m_files.first();
  if (m_files.size() > 1) filesText += QStringLiteral(" and %1 more").arg(m_files.size() - 1);
  m_filesLabel->setText(filesText);
  m_filesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

  m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_preview->setSelectionMode(QAbstractItemView::SingleSelection);
  m_preview->setTabKeyNavigation(false);
  m_preview->setFocusPolicy(Qt::ClickFocus);
  m_preview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  m_preview->setMinimumSize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 12);

  m_delimiter->addItem(QStringLiteral("Detect"), 0);
  m_delimiter->addItem(QStringLiteral("Comma"), int{','});
  m_delimiter->addItem(QStringLiteral("Semicolon"), int{';'});
  m_delimiter->addItem(QStringLiteral("Tab"), int{'\t'});
  m_delimiter->addItem(QStringLiteral("Spaces"), int{' '});
  m_decimal->addItem(QStringLiteral("Detect"), 0);
  m_decimal->addItem(QStringLiteral("Point"), int{'.'});
  m_decimal->addItem(QStringLiteral("Comma"), int{','});
  for (int form = 0; form <= static_cast<int>(core::ImportDateForm::kYymmdd); ++form)
    m_dateForm->addItem(importDateFormText(static_cast<core::ImportDateForm>(form)), form);

  m_symbol->setMaxLength(14);
  m_symbol->setPlaceholderText(QStringLiteral("the file name, or a TICKER column"));
  m_name->setPlaceholderText(QStringLiteral("a NAME column, or the symbol"));
  m_portfolio->addItems(portfolios);
  m_portfolio->setCurrentIndex(std::max(0, static_cast<int>(portfolios.indexOf(selected))));
  m_portfolio->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_portfolio->setMinimumContentsLength(40);

  m_summary->setReadOnly(true);
  m_summary->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_summary->setMinimumHeight(fontMetrics().height() * 6);
  m_detected->setWordWrap(true);

  auto* text = new QGroupBox(QStringLiteral("Text"), this);
  auto* textLayout = new QFormLayout(text);
  textLayout->addRow(QStringLiteral("&Delimiter:"), m_delimiter);
  textLayout->addRow(QStringLiteral("De&cimal:"), m_decimal);
  textLayout->addRow(QStringLiteral("D&ates:"), m_dateForm);
  textLayout->addRow(m_detected);

  auto* target = new QGroupBox(QStringLiteral("Destination"), this);
  auto* targetLayout = new QFormLayout(target);
  targetLayout->addRow(QStringLiteral("&Symbol:"), m_symbol);
  targetLayout->addRow(QStringLiteral("&Name:"), m_name);
  targetLayout->addRow(QStringLiteral("&Portfolio:"), m_portfolio);
  targetLayout->addRow(m_replace);
  targetLayout->addRow(m_byLetter);

  auto* choices = new QHBoxLayout;
  choices->addWidget(text);
  choices->addWidget(target, 1);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  m_cancel = buttons->button(QDialogButtonBox::Cancel);
  m_help = buttons->button(QDialogButtonBox::Help);
  m_ok->setObjectName(QStringLiteral("ok"));
  m_ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &CImportDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CImportDlg::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this, [this] { showHelp(kHelpTopic, this); });
  addHelpKey(this, kHelpTopic);
  setDialogWindowFlags(*this);

  auto* previewLabel = new QLabel(
      QStringLiteral("Pre&view of the first lines, with the role of each column:"), this);
  previewLabel->setBuddy(m_preview);
  auto* summaryLabel = new QLabel(QStringLiteral("What the import will change:"), this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_filesLabel);
  layout->addWidget(previewLabel);
  layout->addWidget(m_preview, 3);
  layout->addLayout(choices);
  layout->addWidget(summaryLabel);
  layout->addWidget(m_summary, 1);
  layout->addWidget(buttons);

  m_refreshTimer->setSingleShot(true);
  m_refreshTimer->setInterval(kRefreshDelayMs);
  connect(m_refreshTimer, &QTimer::timeout, this, &CImportDlg::refresh);
  // Another delimiter splits other columns: their roles are detected afresh.
  connect(m_delimiter, &QComboBox::currentIndexChanged, this, [this] {
    m_rolesChosen = false;
    choiceChanged();
  });
  for (QComboBox* box : {m_decimal, m_dateForm, m_portfolio})
    connect(box, &QComboBox::currentIndexChanged, this, &CImportDlg::choiceChanged);
  for (QLineEdit* edit : {m_symbol, m_name})
    connect(edit, &QLineEdit::textChanged, this, &CImportDlg::choiceChanged);
  for (QCheckBox* box : {m_replace, m_byLetter})
    connect(box, &QCheckBox::toggled, this, &CImportDlg::choiceChanged);
  showSummary();
}

core::ImportOptions CImportDlg::options() const {
  core::ImportOptions options;
  if (m_rolesChosen)
    for (const QComboBox* box : m_roles)
      options.columns.push_back(static_cast<core::ImportColumn>(box->currentData().toInt()));
  options.delimiter = static_cast<char>(m_delimiter->currentData().toInt());
  options.decimal = static_cast<char>(m_decimal->currentData().toInt());
  options.date_form = static_cast<core::ImportDateForm>(m_dateForm->currentData().toInt());
  options.symbol = m_symbol->text().trimmed().toStdString();
  options.name = m_name->text().trimmed().toStdString();
  options.replace = m_replace->isChecked();
  options.by_letter = m_byLetter->isChecked();
  return options;
}

QString CImportDlg::destination() const { return m_portfolio->currentText(); }

QComboBox* CImportDlg::roleBox(int column) const {
  return column >= 0 && column < static_cast<int>(m_roles.size())
             ? m_roles[static_cast<std::size_t>(column)]
             : nullptr;
}

QString CImportDlg::detectedText() const { return m_detected->text(); }

QString CImportDlg::summaryText() const { return m_summary->toPlainText(); }

void CImportDlg::choiceChanged() {
  m_current = false;
  m_cancelled = false;
  showSummary();
  m_refreshTimer->start();
}

void CImportDlg::roleChanged() {
  m_rolesChosen = true;
  choiceChanged();
}

void CImportDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!m_current) m_refreshTimer->start(0);
}

void CImportDlg::refresh() {
  // The progress window lets events in: a refresh asked for meanwhile runs after this one.
  if (m_refreshing) {
    m_refreshTimer->start();
    return;
  }
  m_refreshing = true;
  m_refreshTimer->stop();
  const core::ImportOptions chosen = options();
  const std::string first = m_files.isEmpty() ? std::string() : toPathString(m_files.first());
  const core::ImportPreview preview =
      core::preview_import(m_head, first, chosen, static_cast<std::size_t>(kPreviewLines));
  // The first lines show at once; the roles found in the whole file follow the reading.
  fillPreview(preview, m_rolesChosen ? chosen.columns : preview.info.columns);
  bool cancelled = false;
  {
    std::vector<std::string> paths;
    for (const QString& file : m_files) paths.push_back(toPathString(file));
    CImportProgress progress(this, QStringLiteral("Reading the text..."));
    m_parse = core::parse_import(paths, chosen, progress.control());
    cancelled = progress.cancelled();
  }
  m_plan = {};
  if (m_parse.ok) m_plan = core::plan_import(toPathString(destination()), m_parse.data, chosen);

  // What the whole first file showed; the first lines' detection when it could not be read.
  const core::ImportFileInfo& info =
      !m_parse.data.files.empty() ? m_parse.data.files.front() : preview.info;
  std::vector<core::ImportColumn> roles = info.columns;
  if (m_rolesChosen) roles = chosen.columns;
  fillPreview(preview, roles);
  m_detected->setText(importFoundText(info));
  if (!m_parse.ok)
    markError(m_parse.error);
  else if (!m_plan.ok)
    markError(m_plan.error);
  // A cancelled reading is read again at OK.
  m_current = !cancelled;
  m_cancelled = cancelled;
  m_refreshing = false;
  showSummary();
}

void CImportDlg::fillPreview(const core::ImportPreview& preview,
                             const std::vector<core::ImportColumn>& roles) {
  std::size_t columns = roles.size();
  for (const std::vector<std::string>& row : preview.cells) columns = std::max(columns, row.size());
  // The drop-down that has the keys keeps them in its successor.
  const auto focused = std::find(m_roles.begin(), m_roles.end(), focusWidget());
  const std::size_t focus =
      focused != m_roles.end() ? static_cast<std::size_t>(focused - m_roles.begin()) : 0;
  const bool keys = focused != m_roles.end() || m_roles.empty();
  m_preview->setRowCount(0);  // removes the old drop-downs with their rows
  m_roles.clear();
  m_preview->setColumnCount(static_cast<int>(columns));
  m_preview->setRowCount(static_cast<int>(preview.cells.size()) + 1);
  // Each row is labelled with its line number in the file; the preview passes over blank lines
  // as the parse does.
  m_previewLines.clear();
  core::import_text::Lines lines(m_head);
  std::string_view line;
  while (m_previewLines.size() < preview.cells.size() && lines.next(line))
    if (!core::import_text::is_blank(line)) m_previewLines.push_back(lines.number());
  QStringList lineLabels{QStringLiteral("Role")};
  for (std::uint32_t number : m_previewLines) lineLabels << QString::number(number);
  m_preview->setVerticalHeaderLabels(lineLabels);
  for (std::size_t column = 0; column < columns; ++column) {
    auto* box = new QComboBox(m_preview);
    box->setObjectName(QStringLiteral("role%1").arg(column));
    for (const RoleText& role : kRoles)
      box->addItem(QString::fromLatin1(role.text), static_cast<int>(role.role));
    const core::ImportColumn role =
        column < roles.size() ? roles[column] : core::ImportColumn::kSkip;
    box->setCurrentIndex(box->findData(static_cast<int>(role)));
    connect(box, &QComboBox::currentIndexChanged, this, &CImportDlg::roleChanged);
    m_preview->setCellWidget(0, static_cast<int>(column), box);
    m_roles.push_back(box);
  }
  for (std::size_t row = 0; row < preview.cells.size(); ++row)
    for (std::size_t column = 0; column < preview.cells[row].size(); ++column)
      m_preview->setItem(static_cast<int>(row) + 1, static_cast<int>(column),
                         new QTableWidgetItem(QString::fromStdString(preview.cells[row][column])));
  m_preview->resizeColumnsToContents();
  m_preview->resizeRowToContents(0);

  // Tab goes through the drop-downs, then the choices below, then the buttons; the grid
  // itself takes focus only from a click.
  std::vector<QWidget*> order(m_roles.begin(), m_roles.end());
  order.insert(order.end(), {m_delimiter, m_decimal, m_dateForm, m_symbol, m_name, m_portfolio,
                             m_replace, m_byLetter, m_summary, m_ok, m_cancel, m_help});
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
  // The first fill gives the first drop-down the keys.
  if (keys && focus < m_roles.size()) m_roles[focus]->setFocus();
}

void CImportDlg::markError(const core::ImportError& error) {
  // The cell that can't be read, when the preview shows it.
  if (m_files.isEmpty() || error.file != toPathString(m_files.first()) || error.line == 0) return;
  const auto found = std::find(m_previewLines.begin(), m_previewLines.end(), error.line);
  if (found == m_previewLines.end()) return;
  const int row = static_cast<int>(found - m_previewLines.begin()) + 1;
  const int column = error.column > 0 ? static_cast<int>(error.column) - 1 : 0;
  if (QTableWidgetItem* item = m_preview->item(row, column)) {
    m_preview->setCurrentItem(item);
    m_preview->scrollToItem(item);
  }
}

void CImportDlg::showSummary() {
  QStringList lines;
  if (m_files.isEmpty()) {
    lines << QStringLiteral("No file to import.");
  } else if (m_cancelled) {
    lines << QStringLiteral("The reading was cancelled: OK reads the text again.");
  } else if (!m_current) {
    lines << QStringLiteral("Reading the text...");
  } else {
    lines = importSummaryLines(m_parse, m_plan);
  }
  m_summary->setPlainText(lines.join(QLatin1Char('\n')));
}

void CImportDlg::accept() {
  if (m_refreshing) return;
  if (!m_current) refresh();
  if (!m_current) return;  // the reading was cancelled
  if (!ready()) {
    const core::ImportError& error = m_parse.ok ? m_plan.error : m_parse.error;
    Prompter::instance().message(this, QString::fromStdString(error.text()), Prompter::Icon::Stop);
    return;
  }
  QDialog::accept();
}
