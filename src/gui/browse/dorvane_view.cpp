#include "gui/browse/dorvane_view.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QSplitter>
#include <QTimer>

#include "core/chart_series.h"
#include "core/discovery.h"
#include "core/quote_texts.h"
#include "core/roots.h"
#include "core/symbol_rows.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/base/wait_cursor.h"
#include "gui/browse/portfolio_watcher.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/search_filter_dlg.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"
#include "qdb/dates.h"

namespace {

constexpr int kStartUpDelayMs = 100;
// The pause after a keyboard move of the symbols highlight before that symbol loads.
constexpr int kSymbolLoadDelayMs = 200;
// Longest MASTER path accepted: the platform's path limit.
constexpr int kMaxMasterPath = 4095;
const QString kMasterName = QStringLiteral("MASTER");
const QString kSearch = QStringLiteral("Search");
const QString kChart = QStringLiteral("Chart");
// The chart's share of the height it splits with the quotes, in thousandths, until the user
// moves the splitter.
constexpr int kDefaultChartShare = 520;

QString dateText(qdb::DateSerial serial) {
  return QString::fromStdString(core::display_date_text(serial));
}

}  // namespace

CDorvaneView::CDorvaneView(CSettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      m_settings(settings),
      m_portfolios(new CPortfoliosPane(this)),
      m_symbols(new CSymbolsPane(this)),
      m_quotes(new CQuotesPane(this)),
      m_quotesSplit(new QSplitter(Qt::Vertical, this)),
      m_chart(new CChartView(m_quotesSplit)),
      m_splitSearch(new CSplitSearchController(this)),
      m_symbolLoad(new QTimer(this)),
      m_watcher(new CPortfolioWatcher(this)) {
  m_symbolLoad->setSingleShot(true);
  m_symbolLoad->setInterval(kSymbolLoadDelayMs);
  connect(m_symbolLoad, &QTimer::timeout, this, [this] { FillQuotesGrid(0); });
  connect(m_watcher, &CPortfolioWatcher::changedElsewhere, this, &CDorvaneView::reloadChangedFiles);
  // Hidden, the chart leaves the quotes group the splitter's whole height, as without it.
  m_quotesSplit->setChildrenCollapsible(false);
  m_quotesSplit->addWidget(m_chart);
  m_quotesSplit->addWidget(m_quotes);
  m_chart->hide();
  // The form's proportions: the upper groups 110 units high, the quotes 255; the portfolios
  // 200 units wide beside the symbols' 180.
  auto* layout = new QGridLayout(this);
  layout->addWidget(m_portfolios, 0, 0);
  layout->addWidget(m_symbols, 0, 1);
  layout->addWidget(m_quotesSplit, 1, 0, 1, 2);
  layout->setRowStretch(0, 110);
  layout->setRowStretch(1, 255);
  layout->setColumnStretch(0, 200);
  layout->setColumnStretch(1, 180);

  connect(m_portfolios, &CPortfoliosPane::rootPicked, this, &CDorvaneView::changeDrive);
  connect(m_portfolios, &CPortfoliosPane::portfolioPicked, this, &CDorvaneView::onPortfolioPicked);
  connect(m_symbols, &CSymbolsPane::rowSelected, this, &CDorvaneView::onSymbolRowSelected);
  connect(m_symbols, &CSymbolsPane::rowActivated, this, &CDorvaneView::onSymbolActivated);
  connect(m_quotes, &CQuotesPane::rowSelected, this, &CDorvaneView::onQuoteRowSelected);
  connect(m_splitSearch, &CSplitSearchController::openChanged, this, &CDorvaneView::stateChanged);
  connect(m_chart, &CChartView::rowClicked, m_quotes, &CQuotesPane::selectRow);
  connect(m_chart, &CChartView::rowActivated, this, &CDorvaneView::onChartActivated);
  connect(m_quotesSplit, &QSplitter::splitterMoved, this, [this] {
    const int total = m_chart->height() + m_quotes->height();
    if (total <= 0) return;
    m_chartShare = (m_chart->height() * 1000 + total / 2) / total;
    m_settings.SetInt(kChart, QStringLiteral("Share"), m_chartShare);
  });
  m_quotesSplit->installEventFilter(this);

  m_limitToFilter = m_settings.GetInt(kSearch, QStringLiteral("Limit"), 1) != 0;
  m_autoRepair = m_settings.GetInt(kSearch, QStringLiteral("MasterFix"), 0) != 0;
  m_startDirectory = QDir::currentPath();
  m_filterPath = m_settings.GetString(kSearch, QStringLiteral("Name"), m_startDirectory);
  m_filterPathUpper = m_filterPath.toUpper();
  setChartShown(m_settings.GetInt(kChart, QStringLiteral("Show"), 0) != 0);
}

QComboBox* CDorvaneView::driveList() const { return m_portfolios->driveList(); }
QListWidget* CDorvaneView::portfolioList() const { return m_portfolios->portfolioList(); }
CGridView* CDorvaneView::symbolsGrid() const { return m_symbols->grid(); }
CGridView* CDorvaneView::quotesGrid() const { return m_quotes->grid(); }
CSymbolsGridModel* CDorvaneView::symbolsModel() const { return m_symbols->model(); }
CQuotesGridModel* CDorvaneView::quotesModel() const { return m_quotes->model(); }

void CDorvaneView::setRootsProvider(RootsProvider provider) {
  m_portfolios->setRootsProvider(std::move(provider));
}

void CDorvaneView::setStartRoot(const QString& root) {
  m_startRoot =
      root.isEmpty() ? QString() : fromPathString(core::normalize_walk_root(toPathString(root)));
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
  m_symbols->restoreColumnWidths(m_settings);
  m_quotes->restoreColumnWidths(m_settings);
  SelectSavedDrive();
  m_startUpDone = true;
}

void CDorvaneView::saveColumnWidths() {
  m_symbols->storeColumnWidths(m_settings);
  m_quotes->storeColumnWidths(m_settings);
}

void CDorvaneView::SelectSavedDrive() {
  if (m_portfolios->listRoots(m_startRoot).empty()) return;
  QString chosen = m_startRoot;
  if (chosen.isEmpty()) {
    chosen = m_portfolios->chooseRoot(
        m_settings.GetString(QStringLiteral("Settings"), QStringLiteral("Drive"), QString()));
    m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"),
                         rootSettingText(chosen));
  }
  m_drive = chosen;
  m_portfolios->selectRoot(chosen);
  ScanDrive();
}

void CDorvaneView::changeDrive(const QString& root) {
  if (root == m_drive) return;
  m_drive = root;
  // A root named on the command line is scanned for this run only, never remembered.
  if (root != m_startRoot)
    m_settings.SetString(QStringLiteral("Settings"), QStringLiteral("Drive"),
                         rootSettingText(root));
  ClearFrom(1);
  ScanDrive();
}

void CDorvaneView::ScanDrive() {
  ClearFrom(2);
  if (m_drive.isEmpty()) return;

  // The root named on the command line is never hidden by the filter: its walk is narrowed
  // only to a filter path inside it.
  bool limit = m_limitToFilter;
  if (limit && !m_startRoot.isEmpty() && m_drive == m_startRoot)
    limit =
        !core::longest_root_for(toPathString(m_filterPath), {toPathString(m_startRoot)}).empty();
  const QStringList found =
      m_portfolios->scan(m_drive, core::PortfolioFilter(limit, toPathString(m_filterPath)));

  if (found.isEmpty()) {
    m_portfoliosFound = false;
    emit stateChanged();
    Prompter::instance().message(
        this,
        QStringLiteral("No master files found on drive ") + rootSettingText(m_drive) +
            QStringLiteral("\n\n(Is your Portfolio Search Filter setting correct?)"),
        Prompter::Icon::Warning);
    return;
  }

  m_portfoliosFound = true;
  m_portfolios->setPortfolios(found);
  emit stateChanged();
  SetMasterPath(joinPath(found.first(), kMasterName));
  FillSymbolsGrid(0);
}

void CDorvaneView::onPortfolioPicked(const QString& directory) {
  if (!m_portfoliosFound) return;
  SetMasterPath(joinPath(directory, kMasterName));
  FillSymbolsGrid(0);
}

void CDorvaneView::OnRescan() {
  if (m_drive.isEmpty()) return;
  ScanDrive();
}

void CDorvaneView::OnSearchFilter() {
  CSearchFilterDlg dialog(m_portfolios->rootEntries(), window());
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
  m_settings.SetInt(kSearch, QStringLiteral("Limit"), m_limitToFilter ? 1 : 0);
  m_settings.SetString(kSearch, QStringLiteral("Name"), m_filterPath);
  m_settings.SetInt(kSearch, QStringLiteral("MasterFix"), m_autoRepair ? 1 : 0);

  // Only a change that affects the walk scans again: the limit switched, or the path changed
  // (other than in the case of its letters) while the limit is on.
  const bool rescan =
      m_limitToFilter != oldLimit || (m_limitToFilter && m_filterPathUpper != oldPathUpper);
  if (!rescan) return;
  // The longest listed root holding the filter path; a path under none (possible only with
  // the limit off) keeps the current root.
  QString root = m_portfolios->rootHolding(m_filterPath);
  if (root.isEmpty()) root = m_drive;
  if (root.isEmpty()) return;
  m_portfolios->selectRoot(root);
  m_drive.clear();  // never equal to a root, so the drive change always scans
  changeDrive(root);
}

void CDorvaneView::ClearFrom(int level) {
  if (level <= 1) m_portfoliosFound = false;
  if (level <= 2) m_portfolios->clearPortfolios();
  if (level <= 3) {
    const CWaitCursor wait;
    m_symbolLoad->stop();
    m_watcher->clear();
    m_symbols->clear();
    m_symbolCount = 0;
  }
  if (level <= 4) {
    const CWaitCursor wait;
    m_quotes->clear();
    m_chart->clear();
    m_quoteCount = 0;
  }
  emit stateChanged();
}

bool CDorvaneView::SetMasterPath(const QString& path) {
  if (path.size() > kMaxMasterPath || !path.endsWith(kMasterName, Qt::CaseSensitive)) return false;
  m_masterPath = path;
  m_portfolioDir = parentPath(path);
  m_masterPathSet = true;
  return true;
}

bool CDorvaneView::ValidateMaster() {
  if (m_portfolios->portfolioCount() == 0) return false;
  return m_symbols->validateMaster(m_masterPath, m_autoRepair);
}

bool CDorvaneView::RepairMaster() { return m_symbols->repairMaster(m_masterPath, m_autoRepair); }

void CDorvaneView::failSymbolsFill() {
  ClearFrom(3);
  Prompter::instance().message(this, QStringLiteral("Failure while filling symbols grid"),
                               Prompter::Icon::Stop);
  m_symbolCount = 0;
  emit stateChanged();
}

void CDorvaneView::FillSymbolsGrid(int row) {
  const CWaitCursor wait;
  ClearFrom(3);
  if (!ValidateMaster() || !m_masterPathSet) {
    failSymbolsFill();
    return;
  }
  const int count = m_symbols->list(m_masterPath, row);
  if (count < 0) {
    failSymbolsFill();
    return;
  }
  m_symbolCount = count;
  watchIndexFiles();
  m_currentSymbolRow = row;
  if (m_symbolCount == 0) setCaption(QStringLiteral("(no symbols)"));
  emit stateChanged();
  FillQuotesGrid(0);
}

void CDorvaneView::setCaption(const QString& symbol) {
  window()->setWindowTitle(QStringLiteral("Dorvane - ") + m_portfolioDir + QStringLiteral(" - ") +
                           symbol);
}

void CDorvaneView::onSymbolRowSelected(int row) {
  m_currentSymbolRow = row;
  setCaption(m_symbols->model()->text(row, 0));
  // The highlighted symbol is the one every command acts on, so its quotes follow it; a fill,
  // a click or Enter loads at once and stops this timer.
  m_symbolLoad->start();
  emit stateChanged();
}

void CDorvaneView::onQuoteRowSelected(int row) {
  m_currentQuoteRow = row;
  m_chart->setCurrentRow(row);
  emit stateChanged();
}

void CDorvaneView::onSymbolActivated() {
  const CWaitCursor wait;
  FillQuotesGrid(0);
}

void CDorvaneView::FillQuotesGrid(int row) {
  m_symbolLoad->stop();
  ClearFrom(4);
  watchDataFile();
  const CSymbolsGridModel* symbols = m_symbols->model();
  if (m_currentSymbolRow < 0 || m_currentSymbolRow >= symbols->rowCount()) return;

  m_currentSymbol = symbols->text(m_currentSymbolRow, 0);
  m_currentName = symbols->text(m_currentSymbolRow, 1);
  m_currentFileNumber = symbols->row(m_currentSymbolRow).file_number;
  if (symbols->row(m_currentSymbolRow).sub_portfolio) {
    // A sub-portfolio's entry holds no quotes: the cause says where its symbols are.
    m_quoteCount = 0;
    emit stateChanged();
    Prompter::instance().message(
        this, QStringLiteral("Error in FillQuotesGrid\n") +
                  fromPathString(core::sub_portfolio_cause(toPathString(m_portfolioDir),
                                                           symbols->row(m_currentSymbolRow))));
    return;
  }
  const CWaitCursor wait;
  const QuoteLoadResult result =
      m_quotes->load(m_portfolioDir, symbols->row(m_currentSymbolRow).symbol, m_currentFileNumber);

  using Status = QuoteLoadResult::Status;
  // The system's message first, then the cause in words when one is found.
  const QString loadError = result.cause.empty() ? QStringLiteral("Error in FillQuotesGrid")
                                                 : QStringLiteral("Error in FillQuotesGrid\n") +
                                                       QString::fromStdString(result.cause);
  if (result.status == Status::kOpenFailed || result.status == Status::kNoMemory) {
    m_quoteCount = 0;
    emit stateChanged();
    Prompter::instance().message(
        this, result.status == Status::kNoMemory ? QStringLiteral("Too many bars") : loadError);
    return;
  }

  // The count shown is the rows actually read: a damaged header never counts unread rows.
  m_quoteCount = result.loaded;
  m_firstDateText = dateText(result.first_date);
  m_lastDateText = dateText(result.last_date);
  m_currentQuoteRow = row;
  if (m_quoteCount != 0) m_quotes->selectRow(row);
  loadChart();
  emit stateChanged();
  if (result.status == Status::kChunkFailed || result.status == Status::kShortChunk)
    Prompter::instance().message(this, loadError);
}

CommandConditions CDorvaneView::commandConditions() const {
  CommandConditions c;
  c.portfoliosFound = m_portfoliosFound;
  c.splitSearchOpen = m_splitSearch->isOpen();
  c.portfolioEntries = m_portfolios->portfolioCount();
  c.symbolRows = m_symbols->model()->rowCount();
  c.quoteRows = m_quotes->model()->rowCount();
  c.symbolCount = m_symbolCount;
  c.currentQuoteRow = m_currentQuoteRow;
  c.chartShown = m_chartShown;
  c.chartSuspects = static_cast<int>(m_chart->suspects().size());
  return c;
}

void CDorvaneView::setChartShown(bool shown) {
  m_chartShown = shown;
  if (m_settings.GetInt(kChart, QStringLiteral("Show"), 0) != (shown ? 1 : 0))
    m_settings.SetInt(kChart, QStringLiteral("Show"), shown ? 1 : 0);
  if (shown) {
    m_chartShare =
        std::clamp(m_settings.GetInt(kChart, QStringLiteral("Share"), kDefaultChartShare), 50, 950);
    m_chart->show();
    applyChartShare();
    loadChart();
  } else {
    m_chart->hide();
    m_chart->clear();
    m_chartSource.clear();
  }
  emit stateChanged();
}

void CDorvaneView::loadChart() {
  if (!m_chartShown) return;
  const CSymbolsGridModel* symbols = m_symbols->model();
  if (m_quoteCount == 0 || m_currentSymbolRow < 0 || m_currentSymbolRow >= symbols->rowCount()) {
    m_chart->clear();
    return;
  }
  const std::string key = symbols->row(m_currentSymbolRow).symbol;
  const int fileNumber = symbols->row(m_currentSymbolRow).file_number;
  const std::string source =
      toPathString(m_portfolioDir) + '\n' + key + '\n' + std::to_string(fileNumber);
  core::ChartSeries series;
  std::string message;
  // The grid's load has shown any read failure already; the chart then stays empty.
  const CWaitCursor wait;
  if (!core::load_chart_series(toPathString(m_portfolioDir), key, series, message, fileNumber)) {
    m_chart->clear();
    return;
  }
  m_chart->setSeries(std::move(series), source == m_chartSource);
  m_chartSource = source;
  m_chart->setCurrentRow(m_currentQuoteRow);
}

void CDorvaneView::onChartActivated(int row) {
  // The chart still shows the symbol before a keyboard move: its row means nothing in the
  // symbol about to load.
  if (symbolLoadPending()) {
    flushPendingLoad();
    return;
  }
  // The same path as Quotes > Edit, on the day double-clicked: files another program changed
  // are read again first (the day kept, or the command refused when it has gone), and their
  // news waits while the dialog is open, so the dialog's rows stay the ones it shows.
  m_quotes->selectRow(row);
  if (!prepareCommand(true)) return;
  OnEditQuote();
  commandDone();
}

void CDorvaneView::applyChartShare() {
  const int height = m_quotesSplit->height() - m_quotesSplit->handleWidth();
  // Before the first layout any unit does: the splitter shares its height in proportion.
  const int total = height > 0 ? height : 1000;
  const int chart = (total * m_chartShare + 500) / 1000;
  m_quotesSplit->setSizes({chart, total - chart});
}

bool CDorvaneView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_quotesSplit && event->type() == QEvent::Resize && m_chartShown)
    applyChartShare();
  return QWidget::eventFilter(watched, event);
}
