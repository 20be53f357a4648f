#include "gui/browse/dorvane_view.h"

#include <algorithm>
#include <memory>

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "core/discovery.h"
#include "core/master_check.h"
#include "core/master_repair.h"
#include "core/quote_texts.h"
#include "core/roots.h"
#include "core/symbol_rows.h"
#include "gui/browse/fix_master_observer.h"
#include "gui/browse/grid_columns.h"
#include "gui/browse/root_texts.h"
#include "gui/browse/search_filter_dlg.h"
#include "gui/browse/search_progress_dlg.h"
#include "gui/browse/settings_store.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/prompter.h"
#include "gui/shell/wait_cursor.h"
#include "qdb/dates.h"
#include "qdb/master.h"

namespace {

constexpr int kStartUpDelayMs = 100;
// Longest MASTER path accepted: the platform's path limit.
constexpr int kMaxMasterPath = 4095;
const QString kMasterName = QStringLiteral("MASTER");

std::string to_path(const QString& text) { return text.toStdString(); }
QString from_path(const std::string& text) { return QString::fromStdString(text); }

QString date_text(qdb::DateSerial serial) {
  return QString::fromStdString(core::display_date_text(serial));
}

// Shows the quote load's progress bar in the main window's message pane while it lives.
class StatusProgress {
 public:
  explicit StatusProgress(QWidget* view) {
    auto* frame = qobject_cast<QMainWindow*>(view->window());
    if (!frame || !frame->statusBar() || !frame->statusBar()->isVisible()) return;
    // The bar takes the message pane's place while it lives.
    m_idle = frame->statusBar()->findChild<QLabel*>(QStringLiteral("idleMessage"));
    if (m_idle) m_idle->hide();
    m_bar = new QProgressBar(frame->statusBar());
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(frame->statusBar()->height());
    frame->statusBar()->insertWidget(0, m_bar, 1);
    m_bar->show();
  }
  ~StatusProgress() {
    delete m_bar;
    if (m_idle) m_idle->show();
  }
  StatusProgress(const StatusProgress&) = delete;
  StatusProgress& operator=(const StatusProgress&) = delete;

  void setRange(int total) {
    if (m_bar) m_bar->setRange(0, std::max(total - 1, 0));
  }
  void setValue(int value) {
    if (!m_bar) return;
    m_bar->setValue(std::min(value, m_bar->maximum()));
    m_bar->repaint();
  }

 private:
  QProgressBar* m_bar = nullptr;
  QLabel* m_idle = nullptr;
};

}  // namespace

CDorvaneView::CDorvaneView(CSettingsStore& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_rootsProvider(&core::list_roots) {
  buildLayout();

  m_limitToFilter = m_settings.GetInt(QStringLiteral("Search"), QStringLiteral("Limit"), 1) != 0;
  m_autoRepair = m_settings.GetInt(QStringLiteral("Search"), QStringLiteral("MasterFix"), 0) != 0;
  m_startDirectory = QDir::currentPath();
  m_filterPath =
      m_settings.GetString(QStringLiteral("Search"), QStringLiteral("Name"), m_startDirectory);
  m_filterPathUpper = m_filterPath.toUpper();
}

CDorvaneView::~CDorvaneView() { delete m_progress; }

void CDorvaneView::buildLayout() {
  m_driveList = new QComboBox(this);
  m_driveList->setEditable(false);
  m_driveList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  m_driveList->setMinimumContentsLength(16);
  m_portfolioList = new QListWidget(this);
  m_portfolioList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_portfolioList->setUniformItemSizes(true);

  m_symbolsModel = new CSymbolsGridModel(this);
  m_symbolsGrid = new CGridView(this);
  m_symbolsGrid->setModel(m_symbolsModel);
  m_quotesModel = new CQuotesGridModel(this);
  m_quotesGrid = new CGridView(this);
  m_quotesGrid->setModel(m_quotesModel);

  auto* portfolios = new QGroupBox(QStringLiteral("Portfolios"), this);
  auto* portfoliosLayout = new QVBoxLayout(portfolios);
  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(m_driveList, 1);
  driveRow->addStretch(1);
  portfoliosLayout->addLayout(driveRow);
  portfoliosLayout->addWidget(m_portfolioList, 1);

  auto* symbols = new QGroupBox(QStringLiteral("Symbols"), this);
  auto* symbolsLayout = new QVBoxLayout(symbols);
  symbolsLayout->addWidget(m_symbolsGrid);

  auto* quotes = new QGroupBox(QStringLiteral("Quotes"), this);
  auto* quotesLayout = new QVBoxLayout(quotes);
  quotesLayout->addWidget(m_quotesGrid);

  // The form's proportions: the upper groups 110 units high, the quotes 255; the portfolios
  // 200 units wide beside the symbols' 180.
  auto* layout = new QGridLayout(this);
  layout->addWidget(portfolios, 0, 0);
  layout->addWidget(symbols, 0, 1);
  layout->addWidget(quotes, 1, 0, 1, 2);
  layout->setRowStretch(0, 110);
  layout->setRowStretch(1, 255);
  layout->setColumnStretch(0, 200);
  layout->setColumnStretch(1, 180);

  connect(m_driveList, &QComboBox::currentIndexChanged, this, &CDorvaneView::onDriveActivated);
  connect(m_portfolioList, &QListWidget::itemSelectionChanged, this,
          &CDorvaneView::onPortfolioSelected);
  connect(m_symbolsGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) { onSymbolSelectionChanged(selected); });
  connect(m_quotesGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected) { onQuoteSelectionChanged(selected); });
  connect(m_symbolsGrid, &CGridView::clicked, this, &CDorvaneView::onSymbolClicked);
  connect(m_symbolsGrid, &CGridView::enterPressed, this, &CDorvaneView::onSymbolClicked);
}

void CDorvaneView::setRootsProvider(RootsProvider provider) {
  m_rootsProvider = std::move(provider);
}

void CDorvaneView::setStartRoot(const QString& root) {
  m_startRoot = root.isEmpty() ? QString() : from_path(core::normalize_walk_root(to_path(root)));
}

void CDorvaneView::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The first paint arms the start-up, so the window is on screen before any scan begins.
  if (m_startUpArmed) return;
  m_startUpArmed = true;
  QTimer::singleShot(kStartUpDelayMs, this, &CDorvaneView::StartUp);
}

void CDorvaneView::StartUp() {
  if (m_startUpRan) return;
  m_startUpRan = true;
  setUpGridColumns();
  SelectSavedDrive();
  m_startUpDone = true;
}

void CDorvaneView::setUpGridColumns() {
  const int symbolsWidth = m_symbolsGrid->clientWidth();
  const int symbolsDefault = default_symbol_width(symbolsWidth);
  std::array<int, kSymbolColumns> symbolWidths{};
  for (int i = 0; i < kSymbolColumns; ++i)
    symbolWidths[static_cast<std::size_t>(i)] = m_settings.GetInt(
        QStringLiteral("SymbolGrid"), QStringLiteral("col%1").arg(i), symbolsDefault);
  symbolWidths = fit_symbol_widths(symbolWidths, symbolsWidth);
  for (int i = 0; i < kSymbolColumns; ++i)
    m_symbolsGrid->horizontalHeader()->resizeSection(i, symbolWidths[static_cast<std::size_t>(i)]);

  const int quotesWidth = m_quotesGrid->clientWidth();
  const int quotesDefault = default_quote_width(quotesWidth);
  std::array<int, kQuoteColumns> quoteWidths{};
  for (int i = 0; i < kQuoteColumns; ++i)
    quoteWidths[static_cast<std::size_t>(i)] = m_settings.GetInt(
        QStringLiteral("QuoteGrid"), QStringLiteral("col%1").arg(i), quotesDefault);
  quoteWidths = fit_quote_widths(quoteWidths, quotesWidth);
  for (int i = 0; i < kQuoteColumns; ++i)
    m_quotesGrid->horizontalHeader()->resizeSection(i, quoteWidths[static_cast<std::size_t>(i)]);
}

void CDorvaneView::saveColumnWidths() {
  for (int i = 0; i < kSymbolColumns; ++i)
    m_settings.SetInt(QStringLiteral("SymbolGrid"), QStringLiteral("col%1").arg(i),
                      m_symbolsGrid->horizontalHeader()->sectionSize(i));
  for (int i = 0; i < kQuoteColumns; ++i)
    m_settings.SetInt(QStringLiteral("QuoteGrid"), QStringLiteral("col%1").arg(i),
                      m_quotesGrid->horizontalHeader()->sectionSize(i));
}

QString CDorvaneView::rootAt(int index) const { return m_driveList->itemData(index).toString(); }

std::vector<std::string> CDorvaneView::listedRoots() const {
  std::vector<std::string> roots;
  roots.reserve(static_cast<std::size_t>(m_driveList->count()));
  for (int i = 0; i < m_driveList->count(); ++i) roots.push_back(to_path(rootAt(i)));
  return roots;
}

void CDorvaneView::selectRoot(const QString& root) {
  const QSignalBlocker blocker(m_driveList);
  m_driveList->setCurrentIndex(m_driveList->findData(root));
}

void CDorvaneView::SelectSavedDrive() {
  std::vector<std::string> roots = m_rootsProvider ? m_rootsProvider() : std::vector<std::string>{};
  if (!m_startRoot.isEmpty()) roots.push_back(to_path(m_startRoot));
  std::sort(roots.begin(), roots.end());
  roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
  {
    const QSignalBlocker blocker(m_driveList);
    m_driveList->clear();
    for (const std::string& root : roots) {
      const QString path = from_path(root);
      m_driveList->addItem(root_entry_text(path), path);
    }
  }
  if (roots.empty()) return;

  QString chosen;
  if (!m_startRoot.isEmpty()) {
    chosen = m_startRoot;
  } else {
    // The remembered root when it is still listed; else the listed root that holds it, or
    // the one holding the current directory; else the last entry.
    const QString saved =
        m_settings.GetString(QStringLiteral("Settings"), QStringLiteral("Drive"), QString());
    for (int i = 0; i < m_driveList->count() && chosen.isEmpty(); ++i)
      if (root_matches_setting(rootAt(i), saved)) chosen = rootAt(i);
    if (chosen.isEmpty() && !saved.isEmpty())
      chosen = from_path(core::longest_root_for(to_path(saved), roots));
    if (chosen.isEmpty())
      chosen = from_path(core::longest_root_for(to_path(QDir::currentPath()), roots));
    if (chosen.isEmpty()) chosen = from_path(roots.back());
    m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"),
                         root_setting_text(chosen));
  }
  m_drive = chosen;
  selectRoot(chosen);
  ScanDrive();
}

void CDorvaneView::onDriveActivated(int index) {
  if (index < 0) return;
  changeDrive(rootAt(index));
}

void CDorvaneView::changeDrive(const QString& root) {
  if (root == m_drive) return;
  m_drive = root;
  // A root named on the command line is scanned for this run only, never remembered.
  if (root != m_startRoot)
    m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"),
                         root_setting_text(root));
  ClearFrom(1);
  ScanDrive();
}

void CDorvaneView::ScanDrive() {
  ClearFrom(2);
  if (m_drive.isEmpty()) return;

  std::vector<std::string> found;
  {
    const CWaitCursor wait;
    m_progress = new CSearchProgressDlg(window());
    m_progress->start();
    const core::PortfolioFilter filter(m_limitToFilter, to_path(m_filterPath));
    found = core::find_portfolios(to_path(m_drive), filter, m_progress);
    Prompter::instance().beep();
    delete m_progress;
    m_progress = nullptr;
  }

  if (found.empty()) {
    m_portfoliosFound = false;
    notifyStateChanged();
    Prompter::instance().message(
        this,
        QStringLiteral("No master files found on drive ") + root_setting_text(m_drive) +
            QStringLiteral("\n\n(Is your Portfolio Search Filter setting correct?)"),
        Prompter::Icon::Warning);
    return;
  }

  m_portfoliosFound = true;
  std::sort(found.begin(), found.end());
  {
    const QSignalBlocker blocker(m_portfolioList);
    for (const std::string& directory : found) m_portfolioList->addItem(from_path(directory));
    m_portfolioList->setCurrentRow(0);
  }
  notifyStateChanged();
  SetMasterPath(masterPathFor(m_portfolioList->item(0)->text()));
  FillSymbolsGrid(0);
}

QString CDorvaneView::masterPathFor(const QString& directory) const {
  if (directory.endsWith(QLatin1Char('/'))) return directory + kMasterName;
  return directory + QLatin1Char('/') + kMasterName;
}

void CDorvaneView::onPortfolioSelected() {
  if (!m_portfoliosFound) return;
  const QList<QListWidgetItem*> selected = m_portfolioList->selectedItems();
  if (selected.isEmpty()) return;
  SetMasterPath(masterPathFor(selected.first()->text()));
  FillSymbolsGrid(0);
}

void CDorvaneView::OnRescan() {
  if (m_drive.isEmpty()) return;
  ScanDrive();
}

void CDorvaneView::OnSearchFilter() {
  QStringList roots;
  for (int i = 0; i < m_driveList->count(); ++i) roots.push_back(m_driveList->itemText(i));
  CSearchFilterDlg dialog(roots, window());
  dialog.setLimit(m_limitToFilter ? 1 : 0);
  dialog.setFilterPath(m_filterPath);
  dialog.setAutoRepair(m_autoRepair ? 1 : 0);
  const bool oldLimit = m_limitToFilter;
  const QString oldPathUpper = m_filterPathUpper;
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return;

  m_autoRepair = dialog.autoRepair() != 0;
  m_limitToFilter = dialog.limit() != 0;
  m_filterPath = dialog.filterPath();
  m_filterPathUpper = m_filterPath.toUpper();
  m_settings.SetInt(QStringLiteral("Search"), QStringLiteral("Limit"), m_limitToFilter ? 1 : 0);
  m_settings.SetString(QStringLiteral("Search"), QStringLiteral("Name"), m_filterPath);
  m_settings.SetInt(QStringLiteral("Search"), QStringLiteral("MasterFix"), m_autoRepair ? 1 : 0);

  // Only a change that affects the walk scans again: the limit switched, or the path changed
  // (other than in the case of its letters) while the limit is on.
  const bool rescan =
      m_limitToFilter != oldLimit || (m_limitToFilter && m_filterPathUpper != oldPathUpper);
  if (!rescan) return;
  // The longest listed root holding the filter path; a path under none (possible only with
  // the limit off) keeps the current root.
  QString root = from_path(core::longest_root_for(to_path(m_filterPath), listedRoots()));
  if (root.isEmpty()) root = m_drive;
  if (root.isEmpty()) return;
  selectRoot(root);
  m_drive.clear();  // never equal to a root, so the drive change always scans
  changeDrive(root);
}

void CDorvaneView::ClearFrom(int level) {
  if (level <= 1) {
    m_portfoliosFound = false;
    m_symbolCount = 0;
    m_quoteCount = 0;
  }
  if (level <= 2) {
    const QSignalBlocker blocker(m_portfolioList);
    m_portfolioList->clear();
    m_symbolCount = 0;
    m_quoteCount = 0;
  }
  if (level <= 3) {
    const CWaitCursor wait;
    m_symbolsModel->clear();
    m_symbolCount = 0;
    m_quoteCount = 0;
  }
  if (level <= 4) {
    const CWaitCursor wait;
    m_quotesModel->clear();
    m_quoteCount = 0;
  }
  notifyStateChanged();
}

bool CDorvaneView::SetMasterPath(const QString& path) {
  if (path.size() > kMaxMasterPath || !path.endsWith(kMasterName, Qt::CaseSensitive)) return false;
  m_masterPath = path;
  const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
  if (cut < 0)
    m_portfolioDir.clear();
  else if (cut == 0)
    m_portfolioDir = QStringLiteral("/");  // a MASTER in the root directory
  else
    m_portfolioDir = path.left(cut);
  m_masterPathSet = true;
  return true;
}

bool CDorvaneView::ValidateMaster() {
  if (m_portfolioList->count() == 0) return false;
  const core::MasterCheckResult check = core::ValidateMaster(to_path(m_masterPath));
  if (!check.readable) return false;
  if (check.sound) return true;
  return RepairMaster();
}

bool CDorvaneView::RepairMaster() {
  CFixMasterObserver observer(window());
  const core::RepairResult result =
      core::RepairMaster(to_path(m_masterPath), observer, m_autoRepair);
  return result.outcome == core::RepairOutcome::kRepaired;
}

void CDorvaneView::failSymbolsFill() {
  ClearFrom(3);
  Prompter::instance().message(this, QStringLiteral("Failure while filling symbols grid"),
                               Prompter::Icon::Stop);
  m_symbolCount = 0;
  notifyStateChanged();
}

void CDorvaneView::FillSymbolsGrid(int row) {
  const CWaitCursor wait;
  ClearFrom(3);
  if (!ValidateMaster()) {
    Prompter::instance().message(this, QStringLiteral("Failure while filling symbols grid"),
                                 Prompter::Icon::Stop);
    m_symbolCount = 0;
    notifyStateChanged();
    return;
  }
  if (!m_masterPathSet) {
    failSymbolsFill();
    return;
  }
  core::MasterListing listing = core::read_master_rows(to_path(m_masterPath), qdb::kMaxSymbols);
  if (!listing.ok) {
    failSymbolsFill();
    return;
  }
  int count = listing.header_count;
  if (count > qdb::kMaxSymbols) {
    count = qdb::kMaxSymbols;
    Prompter::instance().message(
        this,
        QStringLiteral("File has %1 symbols.\nWill only display the first %2 symbols")
            .arg(listing.header_count)
            .arg(qdb::kMaxSymbols),
        Prompter::Icon::Warning);
  }
  // At most count records are listed; fewer records than the header claims is a failure.
  if (static_cast<int>(listing.rows.size()) > std::max(count, 0))
    listing.rows.resize(static_cast<std::size_t>(std::max(count, 0)));
  if (static_cast<int>(listing.rows.size()) != count) {
    failSymbolsFill();
    return;
  }

  m_symbolsModel->setRows(std::move(listing.rows));
  m_symbolCount = count;
  m_currentSymbolRow = row;
  if (row >= 0 && row < m_symbolsModel->rowCount()) {
    const QModelIndex index = m_symbolsModel->index(row, 0);
    m_symbolsGrid->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_symbolsGrid->scrollTo(index);
  }
  if (m_symbolCount == 0) setCaption(QStringLiteral("(no symbols)"));
  notifyStateChanged();
  FillQuotesGrid(0);
}

void CDorvaneView::setCaption(const QString& symbol) {
  window()->setWindowTitle(QStringLiteral("Dorvane - ") + m_portfolioDir + QStringLiteral(" - ") +
                           symbol);
}

void CDorvaneView::onSymbolSelectionChanged(const QItemSelection& selected) {
  if (selected.isEmpty()) return;
  const int row = selected.indexes().first().row();
  m_currentSymbolRow = row;
  setCaption(m_symbolsModel->text(row, 0));
  notifyStateChanged();
}

void CDorvaneView::onQuoteSelectionChanged(const QItemSelection& selected) {
  if (selected.isEmpty()) return;
  m_currentQuoteRow = selected.indexes().first().row();
  notifyStateChanged();
}

void CDorvaneView::onSymbolClicked() {
  const CWaitCursor wait;
  FillQuotesGrid(0);
}

void CDorvaneView::FillQuotesGrid(int row) {
  ClearFrom(4);
  if (m_symbolsModel->rowCount() == 0) return;
  if (m_currentSymbolRow < 0 || m_currentSymbolRow >= m_symbolsModel->rowCount()) return;

  m_currentSymbol = m_symbolsModel->text(m_currentSymbolRow, 0);
  m_currentName = m_symbolsModel->text(m_currentSymbolRow, 1);
  const core::SymbolRow& symbolRow = m_symbolsModel->row(m_currentSymbolRow);

  const CWaitCursor wait;
  QuoteLoadResult result;
  {
    StatusProgress progress(this);
    bool painted = false;
    result = load_quotes(*m_quotesModel, to_path(m_portfolioDir), symbolRow.symbol,
                         [&](int loaded, int total) {
                           progress.setRange(total);
                           progress.setValue(loaded);
                           // The first rows are on screen before the rest are read.
                           if (!painted && loaded >= 30) {
                             painted = true;
                             m_quotesGrid->viewport()->repaint();
                           }
                         });
  }

  using Status = QuoteLoadResult::Status;
  // The system's message first, then the cause in words when one is found.
  const QString loadError = result.cause.empty() ? QStringLiteral("Error in FillQuotesGrid")
                                                 : QStringLiteral("Error in FillQuotesGrid\n") +
                                                       QString::fromStdString(result.cause);
  if (result.status == Status::kOpenFailed) {
    m_quoteCount = 0;
    notifyStateChanged();
    Prompter::instance().message(this, loadError);
    return;
  }
  if (result.status == Status::kNoMemory) {
    m_quoteCount = 0;
    notifyStateChanged();
    Prompter::instance().message(this, QStringLiteral("Too many bars"));
    return;
  }

  // The count shown is the rows actually read: a damaged header never counts unread rows.
  m_quoteCount = result.loaded;
  m_firstDateText = date_text(result.first_date);
  m_lastDateText = date_text(result.last_date);
  m_currentQuoteRow = row;
  if (m_quoteCount != 0 && row >= 0 && row < m_quotesModel->rowCount())
    m_quotesGrid->selectionModel()->select(
        m_quotesModel->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  notifyStateChanged();
  if (result.has_time) {
    // The Time column sits after the seven quote columns in the model (so stored widths keep
    // their columns) and is shown beside the date.
    QHeaderView* header = m_quotesGrid->horizontalHeader();
    header->moveSection(header->visualIndex(CQuotesGridModel::kTimeColumn), 1);
  }
  if (result.status == Status::kChunkFailed || result.status == Status::kShortChunk)
    Prompter::instance().message(this, loadError);
}

CommandConditions CDorvaneView::commandConditions() const {
  CommandConditions c;
  c.portfolios_found = m_portfoliosFound;
  c.portfolio_entries = m_portfolioList->count();
  c.symbol_rows = m_symbolsModel->rowCount();
  c.quote_rows = m_quotesModel->rowCount();
  c.symbol_count = m_symbolCount;
  c.current_quote_row = m_currentQuoteRow;
  c.split_search_open = m_splitSearchOpen;
  return c;
}

void CDorvaneView::notifyStateChanged() { emit stateChanged(); }
