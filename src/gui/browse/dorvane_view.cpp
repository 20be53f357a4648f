#include "gui/browse/dorvane_view.h"

#include <QGridLayout>
#include <QTimer>

#include "core/discovery.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/path_text.h"
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

void CDorvaneView::setChartShown(bool shown) {
  m_quotesSplit->setChartShown(shown);
  loadChart();
  emit stateChanged();
}
