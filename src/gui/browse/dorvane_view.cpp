#include "gui/browse/dorvane_view.h"

#include <QByteArray>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

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
#include "gui/edit/grid_view.h"
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
      m_mainSplit(new QSplitter(Qt::Vertical, this)),
      m_topSplit(new QSplitter(Qt::Horizontal, this)),
      m_splitSearch(new CSplitSearchController(this)),
      m_symbolLoad(new QTimer(this)),
      m_watcher(new CPortfolioWatcher(this)) {
  m_symbolLoad->setSingleShot(true);
  m_symbolLoad->setInterval(kSymbolLoadDelayMs);
  // The panes share the window through splitters the user drags, kept between runs. The
  // form's first proportions: the upper groups 110 units high, the quotes 255; the
  // portfolios 200 units wide beside the symbols' 180.
  m_topSplit->addWidget(m_portfolios);
  m_topSplit->addWidget(m_symbols);
  m_topSplit->setStretchFactor(0, 200);
  m_topSplit->setStretchFactor(1, 180);
  m_topSplit->setChildrenCollapsible(false);
  m_mainSplit->addWidget(m_topSplit);
  m_mainSplit->addWidget(m_quotesSplit);
  m_mainSplit->setStretchFactor(0, 110);
  m_mainSplit->setStretchFactor(1, 255);
  m_mainSplit->setChildrenCollapsible(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(layout->contentsMargins() / 2);
  layout->addWidget(m_mainSplit);
  restorePaneSizes();
  for (QSplitter* splitter : {m_mainSplit, m_topSplit})
    connect(splitter, &QSplitter::splitterMoved, this, &CDorvaneView::savePaneSizes);

  connect(m_state, &CBrowseState::changed, this, &CDorvaneView::stateChanged);
  connect(m_symbolLoad, &QTimer::timeout, this, [this] { FillQuotesGrid(0); });
  connect(m_watcher, &CPortfolioWatcher::changedElsewhere, this, &CDorvaneView::reloadChangedFiles);
  connect(m_portfolios, &CPortfoliosPane::rootPicked, this, &CDorvaneView::changeDrive);
  connect(m_portfolios, &CPortfoliosPane::portfolioPicked, this, &CDorvaneView::onPortfolioPicked);
  connect(m_portfolios, &CPortfoliosPane::placeTyped, this, &CDorvaneView::walkTypedPlace);
  connect(m_symbols, &CSymbolsPane::rowSelected, this, &CDorvaneView::onSymbolRowSelected);
  connect(m_symbols, &CSymbolsPane::rowActivated, this, [this] {
    const CWaitCursor wait;
    FillQuotesGrid(0);
  });
  connect(m_symbols, &CSymbolsPane::sorted, this, [this](int column, bool descending) {
    // The current entry moved with the sort: commands act on its new row.
    m_state->setCurrentSymbolRow(symbolsGrid()->currentIndex().row());
    m_settings.SetInt(setting_keys::kSymbolSortColumn, column);
    m_settings.SetInt(setting_keys::kSymbolSortDescending, descending ? 1 : 0);
    emit stateChanged();
  });
  connect(m_quotes, &CQuotesPane::rowSelected, this, &CDorvaneView::onQuoteRowSelected);
  connect(m_splitSearch, &CSplitSearchController::openChanged, this, &CDorvaneView::stateChanged);
  connect(m_splitSearch, &CSplitSearchController::resultActivated, this,
          [this](const QString& directory, int fileNumber, qdb::DateSerial date) {
            if (!prepareCommand(false)) return;
            showQuote(directory, fileNumber, date);
            commandDone();
            window()->activateWindow();
          });
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
QSplitter* CDorvaneView::mainSplitter() const { return m_mainSplit; }
QSplitter* CDorvaneView::topSplitter() const { return m_topSplit; }

void CDorvaneView::savePaneSizes() {
  // The splitters' states are short binary blobs, kept as base-64 texts.
  m_settings.SetString(setting_keys::kPanesMain,
                       QString::fromLatin1(m_mainSplit->saveState().toBase64()));
  m_settings.SetString(setting_keys::kPanesTop,
                       QString::fromLatin1(m_topSplit->saveState().toBase64()));
}

void CDorvaneView::restorePaneSizes() {
  // A state that can't be read leaves the splitter at the form's proportions.
  m_mainSplit->restoreState(
      QByteArray::fromBase64(m_settings.GetString(setting_keys::kPanesMain).toLatin1()));
  m_topSplit->restoreState(
      QByteArray::fromBase64(m_settings.GetString(setting_keys::kPanesTop).toLatin1()));
}
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
  m_symbols->setSortOrder(m_settings.GetInt(setting_keys::kSymbolSortColumn),
                          m_settings.GetInt(setting_keys::kSymbolSortDescending) != 0);
  SelectSavedDrive();
  m_startUpDone = true;
}

void CDorvaneView::saveColumnWidths() {
  m_symbols->storeColumnWidths(m_settings);
  m_quotes->storeColumnWidths(m_settings);
  savePaneSizes();
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
