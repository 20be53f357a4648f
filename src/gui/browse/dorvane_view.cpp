#include "gui/browse/dorvane_view.h"

#include <QGridLayout>
#include <QTimer>

#include "core/discovery.h"
#include "core/roots.h"
#include "core/symbol_rows.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/base/wait_cursor.h"
#include "gui/browse/chart_splitter.h"
#include "gui/browse/portfolio_watcher.h"
#include "gui/browse/portfolios_pane.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/browse/symbols_pane.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"

namespace {

constexpr int kStartUpDelayMs = 100;
// The pause after a keyboard move of the symbols highlight before that symbol loads.
constexpr int kSymbolLoadDelayMs = 200;
// Longest MASTER path accepted: the platform's path limit.
constexpr int kMaxMasterPath = 4095;
const QString kMasterName = QStringLiteral("MASTER");

}  // namespace

CDorvaneView::CDorvaneView(CSettingsStore& settings, QWidget* parent)
    : QWidget(parent),
      m_settings(settings),
      m_state(new CBrowseState(this)),
      m_search(SearchSettings::load(settings)),
      m_portfolios(new CPortfoliosPane(this)),
      m_symbols(new CSymbolsPane(this)),
      m_quotes(new CQuotesPane(this)),
      m_quotesSplit(new CChartSplitter(settings, m_quotes, this)),
      m_splitSearch(new CSplitSearchController(this)),
      m_symbolLoad(new QTimer(this)),
      m_watcher(new CPortfolioWatcher(this)) {
  m_symbolLoad->setSingleShot(true);
  m_symbolLoad->setInterval(kSymbolLoadDelayMs);
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

  connect(m_state, &CBrowseState::changed, this, &CDorvaneView::stateChanged);
  connect(m_symbolLoad, &QTimer::timeout, this, [this] { FillQuotesGrid(0); });
  connect(m_watcher, &CPortfolioWatcher::changedElsewhere, this, &CDorvaneView::reloadChangedFiles);
  connect(m_portfolios, &CPortfoliosPane::rootPicked, this, &CDorvaneView::changeDrive);
  connect(m_portfolios, &CPortfoliosPane::portfolioPicked, this, &CDorvaneView::onPortfolioPicked);
  connect(m_symbols, &CSymbolsPane::rowSelected, this, &CDorvaneView::onSymbolRowSelected);
  connect(m_symbols, &CSymbolsPane::rowActivated, this, [this] {
    const CWaitCursor wait;
    FillQuotesGrid(0);
  });
  connect(m_quotes, &CQuotesPane::rowSelected, this, &CDorvaneView::onQuoteRowSelected);
  connect(m_splitSearch, &CSplitSearchController::openChanged, this, &CDorvaneView::stateChanged);
  connect(chartView(), &CChartView::rowClicked, m_quotes, &CQuotesPane::selectRow);
  connect(chartView(), &CChartView::rowActivated, this, &CDorvaneView::onChartActivated);
  setChartShown(m_settings.GetInt(setting_keys::kChartShow) != 0);
}

QComboBox* CDorvaneView::driveList() const { return m_portfolios->driveList(); }
QListWidget* CDorvaneView::portfolioList() const { return m_portfolios->portfolioList(); }
CGridView* CDorvaneView::symbolsGrid() const { return m_symbols->grid(); }
CGridView* CDorvaneView::quotesGrid() const { return m_quotes->grid(); }
CSymbolsGridModel* CDorvaneView::symbolsModel() const { return m_symbols->model(); }
CQuotesGridModel* CDorvaneView::quotesModel() const { return m_quotes->model(); }
CChartView* CDorvaneView::chartView() const { return m_quotesSplit->chart(); }
QSplitter* CDorvaneView::quotesSplitter() const { return m_quotesSplit; }
bool CDorvaneView::chartShown() const { return m_quotesSplit->chartShown(); }

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
    chosen = m_portfolios->chooseRoot(m_settings.GetString(setting_keys::kDrive));
    m_settings.SetString(setting_keys::kDrive, rootSettingText(chosen));
  }
  m_state->setDrive(chosen);
  m_portfolios->selectRoot(chosen);
  ScanDrive();
}

void CDorvaneView::changeDrive(const QString& root) {
  if (root == m_state->drive()) return;
  m_state->setDrive(root);
  // A root named on the command line is scanned for this run only, never remembered.
  if (root != m_startRoot) m_settings.SetString(setting_keys::kDrive, rootSettingText(root));
  ClearFrom(1);
  ScanDrive();
}

void CDorvaneView::ScanDrive() {
  ClearFrom(2);
  const QString drive = m_state->drive();
  if (drive.isEmpty()) return;
  // The root named on the command line is never hidden by the filter: its walk is narrowed
  // only to a filter path inside it.
  const std::string filterPath = toPathString(m_search.filterPath);
  bool limit = m_search.limitToFilter;
  if (limit && !m_startRoot.isEmpty() && drive == m_startRoot)
    limit = !core::longest_root_for(filterPath, {toPathString(m_startRoot)}).empty();
  const QStringList found = m_portfolios->scan(drive, core::PortfolioFilter(limit, filterPath));
  m_state->setPortfoliosFound(!found.isEmpty());
  if (found.isEmpty()) {
    emit stateChanged();
    Prompter::instance().message(
        this,
        QStringLiteral("No master files found on drive ") + rootSettingText(drive) +
            QStringLiteral("\n\n(Is your Portfolio Search Filter setting correct?)"),
        Prompter::Icon::Warning);
    return;
  }
  m_portfolios->setPortfolios(found);
  emit stateChanged();
  onPortfolioPicked(found.first());
}

void CDorvaneView::onPortfolioPicked(const QString& directory) {
  if (!m_state->portfoliosFound()) return;
  SetMasterPath(joinPath(directory, kMasterName));
  FillSymbolsGrid(0);
}

void CDorvaneView::OnRescan() {
  if (!m_state->drive().isEmpty()) ScanDrive();
}

void CDorvaneView::OnSearchFilter() {
  const SearchSettings before = m_search;
  if (!editSearchSettings(window(), m_portfolios->rootEntries(), m_search, m_settings)) return;
  if (!m_search.changesWalk(before)) return;
  // The longest listed root holding the filter path; a path under none (possible only with
  // the limit off) keeps the current root.
  QString root = m_portfolios->rootHolding(m_search.filterPath);
  if (root.isEmpty()) root = m_state->drive();
  if (root.isEmpty()) return;
  m_portfolios->selectRoot(root);
  m_state->setDrive(QString());  // never equal to a root, so the drive change always scans
  changeDrive(root);
}

void CDorvaneView::ClearFrom(int level) {
  if (level <= 1) m_state->setPortfoliosFound(false);
  if (level <= 2) m_portfolios->clearPortfolios();
  if (level <= 3) {
    const CWaitCursor wait;
    m_symbolLoad->stop();
    m_watcher->clear();
    m_symbols->clear();
    m_state->setSymbolCount(0);
  }
  if (level <= 4) {
    const CWaitCursor wait;
    m_quotes->clear();
    chartView()->clear();
    m_state->setQuoteCount(0);
  }
  emit stateChanged();
}

bool CDorvaneView::SetMasterPath(const QString& path) {
  if (path.size() > kMaxMasterPath || !path.endsWith(kMasterName, Qt::CaseSensitive)) return false;
  m_state->setMasterPath(path);
  return true;
}

bool CDorvaneView::ValidateMaster() {
  if (m_portfolios->portfolioCount() == 0) return false;
  return m_symbols->validateMaster(m_state->masterPath(), m_search.autoRepair);
}

bool CDorvaneView::RepairMaster() {
  return m_symbols->repairMaster(m_state->masterPath(), m_search.autoRepair);
}

void CDorvaneView::failSymbolsFill() {
  ClearFrom(3);
  Prompter::instance().message(this, QStringLiteral("Failure while filling symbols grid"),
                               Prompter::Icon::Stop);
  m_state->setSymbolCount(0);
}

void CDorvaneView::FillSymbolsGrid(int row) {
  const CWaitCursor wait;
  ClearFrom(3);
  const bool listable = ValidateMaster() && !m_state->masterPath().isEmpty();
  if (symbolsListed(listable ? m_symbols->list(m_state->masterPath(), row) : -1, row))
    FillQuotesGrid(0);
}

bool CDorvaneView::symbolsListed(int count, int row) {
  if (count < 0) {
    failSymbolsFill();
    return false;
  }
  m_state->setSymbolCount(count);
  watchIndexFiles();
  m_state->setCurrentSymbolRow(row);
  if (count == 0) setCaption(QStringLiteral("(no symbols)"));
  emit stateChanged();
  return true;
}

void CDorvaneView::setCaption(const QString& symbol) {
  window()->setWindowTitle(QStringLiteral("Dorvane - ") + m_state->portfolioDir() +
                           QStringLiteral(" - ") + symbol);
}

void CDorvaneView::onSymbolRowSelected(int row) {
  m_state->setCurrentSymbolRow(row);
  setCaption(symbolsModel()->text(row, 0));
  // The highlighted symbol is the one every command acts on, so its quotes follow it; a fill,
  // a click or Enter loads at once and stops this timer.
  m_symbolLoad->start();
}

void CDorvaneView::onQuoteRowSelected(int row) {
  m_state->setCurrentQuoteRow(row);
  chartView()->setCurrentRow(row);
}

void CDorvaneView::FillQuotesGrid(int row) {
  m_symbolLoad->stop();
  ClearFrom(4);
  watchDataFile();
  const CSymbolsGridModel* symbols = symbolsModel();
  const int symbolRow = m_state->currentSymbolRow();
  if (symbolRow < 0 || symbolRow >= symbols->rowCount()) return;
  const core::SymbolRow& entry = symbols->row(symbolRow);
  m_state->setSymbol(symbols->text(symbolRow, 0), symbols->text(symbolRow, 1), entry.file_number);
  const QString dir = m_state->portfolioDir();
  if (entry.sub_portfolio) {
    // A sub-portfolio's entry holds no quotes: the cause says where its symbols are.
    Prompter::instance().message(
        this, QStringLiteral("Error in FillQuotesGrid\n") +
                  fromPathString(core::sub_portfolio_cause(toPathString(dir), entry)));
    return;
  }
  const CWaitCursor wait;
  const QuoteLoadResult result = m_quotes->load(dir, entry.symbol, entry.file_number);
  using Status = QuoteLoadResult::Status;
  // The system's message first, then the cause in words when one is found.
  QString loadError = QStringLiteral("Error in FillQuotesGrid");
  if (!result.cause.empty()) loadError += QChar('\n') + QString::fromStdString(result.cause);
  if (result.status == Status::kOpenFailed || result.status == Status::kNoMemory) {
    Prompter::instance().message(
        this, result.status == Status::kNoMemory ? QStringLiteral("Too many bars") : loadError);
    return;
  }
  // The count shown is the rows actually read: a damaged header never counts unread rows.
  m_state->setQuoteCount(result.loaded);
  m_state->setDates(result.first_date, result.last_date);
  m_state->setCurrentQuoteRow(row);
  if (result.loaded != 0) m_quotes->selectRow(row);
  loadChart();
  emit stateChanged();
  if (result.status == Status::kChunkFailed || result.status == Status::kShortChunk)
    Prompter::instance().message(this, loadError);
}

void CDorvaneView::setChartShown(bool shown) {
  m_quotesSplit->setChartShown(shown);
  loadChart();
  emit stateChanged();
}

void CDorvaneView::loadChart() {
  const CSymbolsGridModel* symbols = symbolsModel();
  const int row = m_state->currentSymbolRow();
  if (m_state->quoteCount() == 0 || row < 0 || row >= symbols->rowCount())
    m_quotesSplit->clearChart();
  else
    m_quotesSplit->loadChart(m_state->portfolioDir(), symbols->row(row).symbol,
                             symbols->row(row).file_number, m_state->currentQuoteRow());
}
