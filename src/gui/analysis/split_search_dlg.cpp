#include "gui/analysis/split_search_dlg.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "core/split_search.h"
#include "gui/analysis/save_file_dialog.h"
#include "gui/base/dialog_keys.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/base/widget_names.h"

namespace {

constexpr const char* kDoneSearch = "Done search";
constexpr const char* kNoCandidates = "No candidate splits found";

// Passes one symbol's findings to the window. The search's closing status and its "nothing
// found" message belong to the whole search, which the window ends itself.
class SliceObserver final : public core::SplitSearchObserver {
 public:
  SliceObserver(CSplitSearchDlg& window, QLabel& status,
                std::function<void(QString, qdb::DateSerial)> addLine)
      : m_window(window), m_status(status), m_addLine(std::move(addLine)) {}
  void found(const std::string&, core::SplitRatio, qdb::DateSerial date) override { m_date = date; }
  void result_line(const std::string& line) override {
    m_addLine(QString::fromLatin1(line.c_str()), m_date);
  }
  void status(const std::string& text) override {
    if (text != kDoneSearch) m_status.setText(QString::fromLatin1(text.c_str()));
  }
  void message(const std::string& text) override {
    if (text != kNoCandidates)
      Prompter::instance().message(&m_window, QString::fromLatin1(text.c_str()));
  }

 private:
  CSplitSearchDlg& m_window;
  QLabel& m_status;
  std::function<void(QString, qdb::DateSerial)> m_addLine;
  qdb::DateSerial m_date = 0;  // of the finding whose line comes next
};

// Where a result line's finding is: its portfolio, entry and day.
constexpr int kDirectoryRole = Qt::UserRole;
constexpr int kFileNumberRole = Qt::UserRole + 1;
constexpr int kDateRole = Qt::UserRole + 2;

}  // namespace

CSplitSearchDlg::CSplitSearchDlg(SourceProvider source, QWidget* parent)
    : QDialog(parent),
      m_source(std::move(source)),
      m_status(named(new QLabel(this), "status")),
      m_results(named(new QListWidget(this), "results")),
      m_progress(new QProgressBar(this)),
      m_search(new QPushButton(QStringLiteral("Search"), this)),
      m_saveAs(new QPushButton(QStringLiteral("Save As..."), this)),
      m_close(new QPushButton(QStringLiteral("Close"), this)) {
  setWindowTitle(QStringLiteral("Split Search"));
  setModal(false);
  m_status->setTextFormat(Qt::PlainText);
  m_status->setAlignment(Qt::AlignCenter);
  m_results->setSelectionMode(QAbstractItemView::SingleSelection);
  m_results->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
  m_progress->setTextVisible(false);
  m_progress->setVisible(false);
  m_saveAs->setEnabled(false);
  m_search->setDefault(true);

  m_slice.setSingleShot(true);
  m_slice.setInterval(0);
  connect(&m_slice, &QTimer::timeout, this, &CSplitSearchDlg::searchNextSymbol);
  connect(m_search, &QPushButton::clicked, this, &CSplitSearchDlg::startSearch);
  connect(m_saveAs, &QPushButton::clicked, this, &CSplitSearchDlg::saveAs);
  connect(m_close, &QPushButton::clicked, this, &CSplitSearchDlg::reject);
  connect(m_results, &QListWidget::itemActivated, this, &CSplitSearchDlg::onResultActivated);

  auto* group = new QGroupBox(QStringLiteral("Search Results"), this);
  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(m_status);
  groupLayout->addWidget(m_results, 1);
  groupLayout->addWidget(m_progress);

  auto* note =
      new QLabel(QStringLiteral("Search results should be confirmed before editing data."), this);
  note->setAlignment(Qt::AlignCenter);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_search);
  buttons->addWidget(m_saveAs);
  buttons->addStretch(1);
  buttons->addWidget(m_close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group, 1);
  layout->addWidget(note);
  layout->addLayout(buttons);
  setUpDialogKeys(*this, {m_results, m_search, m_saveAs, m_close}, QStringLiteral("split-search"));
}

QString CSplitSearchDlg::statusText() const { return m_status->text(); }

QStringList CSplitSearchDlg::resultLines() const {
  QStringList lines;
  for (int i = 0; i < m_results->count(); ++i) lines << m_results->item(i)->text();
  return lines;
}

void CSplitSearchDlg::startSearch() {
  if (m_searching) return;
  m_current = m_source ? m_source() : SplitSearchSource{};
  if (!m_current.rows.empty())
    m_files = std::make_shared<const core::SplitSearchFiles>(m_current.dir);
  m_next = 0;
  m_linesFound = 0;
  m_searching = true;
  m_search->setEnabled(false);
  m_progress->setVisible(true);
  m_progress->setRange(0, static_cast<int>(m_current.rows.size()));
  m_progress->setValue(0);
  m_slice.start();
}

void CSplitSearchDlg::searchNextSymbol() {
  if (!m_searching) return;
  if (m_next >= m_current.rows.size()) {
    m_status->setText(QString::fromLatin1(kDoneSearch));
    endSearch();
    Prompter& prompter = Prompter::instance();
    prompter.beep();
    if (m_linesFound == 0) prompter.message(this, QString::fromLatin1(kNoCandidates));
    return;
  }
  SliceObserver observer(*this, *m_status, [this](const QString& line, qdb::DateSerial date) {
    m_foundDate = date;
    addResultLine(line);
  });
  const std::shared_ptr<const core::SplitSearchFiles> files = m_files;
  const core::SplitSearchSummary summary =
      core::split_search(*files, {m_current.rows[m_next]}, observer);
  if (!m_searching) return;  // closed while a message was up
  if (summary.aborted) {
    // A failed read ends the whole search where it is, lines found so far kept.
    endSearch();
    return;
  }
  ++m_next;
  m_progress->setValue(static_cast<int>(m_next));
  if (m_searching) m_slice.start();  // not when the window closed meanwhile
}

void CSplitSearchDlg::endSearch() {
  m_slice.stop();
  m_searching = false;
  m_current = {};
  m_files.reset();
  m_search->setEnabled(true);
  m_progress->setVisible(false);
  emit searchEnded();
}

void CSplitSearchDlg::setPortfolioTitle(const QString& directory) {
  setWindowTitle(QStringLiteral("Split Search - ") + directory);
}

void CSplitSearchDlg::onResultActivated(const QListWidgetItem* item) {
  if (item == nullptr || item->data(kFileNumberRole).isNull()) return;
  emit resultActivated(item->data(kDirectoryRole).toString(), item->data(kFileNumberRole).toInt(),
                       item->data(kDateRole).toInt());
}

void CSplitSearchDlg::addResultLine(const QString& line) {
  auto* item = new QListWidgetItem(line, m_results);
  if (m_searching && m_next < m_current.rows.size()) {
    item->setData(kDirectoryRole, fromPathString(m_current.dir));
    item->setData(kFileNumberRole, m_current.rows[m_next].file_number);
    item->setData(kDateRole, static_cast<int>(m_foundDate));
  }
  ++m_linesFound;
  m_saveAs->setEnabled(true);
  m_results->scrollToBottom();
}

void CSplitSearchDlg::saveAs() {
  const QString path =
      chooseSaveFile(this, {QStringLiteral("result"), QStringLiteral("txt"), true});
  if (path.isEmpty()) return;
  std::vector<std::string> lines;
  for (const QString& line : resultLines()) lines.push_back(line.toLatin1().toStdString());
  if (!core::write_split_results(path.toStdString(), lines))
    Prompter::instance().message(
        this, QStringLiteral("The result file\n%1\ncould not be written.").arg(path));
}

void CSplitSearchDlg::done(int result) {
  if (m_searching) endSearch();
  QDialog::done(result);
}

void CSplitSearchDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
}
