// The browser view: the form that fills the main window. Its three groups do the work:
// "Portfolios" (root list over portfolio list, and the scan) top left, "Symbols" top right,
// "Quotes" across the bottom, with the chart above the quotes when View > Chart is on. The
// view wires them together and keeps where the user is in its CBrowseState.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "gui/browse/browse_state.h"
#include "gui/browse/search_settings.h"
#include "qdb/dates.h"

class QComboBox;
class QListWidget;
class QSplitter;
class QTimer;
class CChartSplitter;
class CChartView;
class CGridView;
class CPortfoliosPane;
class CPortfolioWatcher;
class CQuotesGridModel;
class CQuotesPane;
class CSettingsStore;
class CSplitSearchController;
class CSymbolsGridModel;
class CSymbolsPane;
struct QuoteCommandContext;
struct QuoteCommandOutcome;
struct SymbolCommandContext;
struct SymbolCommandOutcome;

class CDorvaneView : public QWidget {
  Q_OBJECT
 public:
  using RootsProvider = std::function<std::vector<std::string>()>;

  // Reads the search settings and whether the chart is shown.
  explicit CDorvaneView(CSettingsStore& settings, QWidget* parent = nullptr);

  // The roots the root list offers (core::list_roots unless replaced, as tests do).
  void setRootsProvider(RootsProvider provider);
  // A directory to scan at start-up instead of the remembered root (the command line's
  // argument); it joins the root list for this run and is not remembered. The filter never
  // hides it: its scans use the filter only when the filter path lies inside it.
  void setStartRoot(const QString& root);

  // Start-up, run once by a timer 100 ms after the first paint: grid columns from the
  // settings, then the remembered root selected and scanned. Done once the first loads ran.
  void StartUp();
  bool startUpDone() const { return m_startUpDone; }

  // Levels cascade: 1 root (no portfolios), 2 portfolio list, 3 symbols grid, 4 quotes grid.
  void ClearFrom(int level);
  // Fills the root list, selects the remembered root (or the one holding the current
  // directory) and scans it.
  void SelectSavedDrive();
  // Walks the current root for portfolios, lists them and loads the first.
  void ScanDrive();
  // Accepts a path ending in "MASTER" as the current MASTER; false leaves the old one.
  bool SetMasterPath(const QString& path);
  // Lists the current MASTER (checked, repaired when needed) and loads row's quotes.
  void FillSymbolsGrid(int row);
  // True when the current MASTER may be listed: sound, or repaired.
  bool ValidateMaster();
  // Rebuilds the damaged MASTER, asking first unless auto-repair is on.
  bool RepairMaster();
  // Reloads the quotes of the current symbol row, newest first, and makes row current.
  void FillQuotesGrid(int row);

  // Commands (view_commands.cpp). A quote command runs its controller on the current quote row,
  // then reloads the quotes with the row the controller names (Add then edits the new day).
  // Edit Symbol shows the new texts in the current row; Delete and Move Symbol reload the
  // symbols; Copy leaves the grids as they are.
  void OnRescan();
  void OnSearchFilter();
  void OnEditQuote();
  void OnSplit();
  void OnAdjust();
  void OnAddQuote();
  void OnDeleteQuote();
  void OnExport();
  void OnEditSymbol();
  void OnDeleteSymbol();
  void OnMoveSymbol();
  void OnCopySymbol();
  void OnDataFacts();
  void OnNextSuspect();  // the chart's next suspect day (wrapping to the oldest)
  void OnSaveChart();    // the chart as shown, to a PNG file the user names
  void OnSplitSearch();  // the one modeless Split Search window, opened or raised
  // View > Chart: shows or hides the chart above the quotes grid.
  void setChartShown(bool shown);
  bool chartShown() const;
  // Portfolio > Export All: every symbol of the portfolio as text; the outcome goes to the
  // main window's status bar.
  void OnExportAll();
  // File > New Portfolio...: the new portfolio joins the portfolio list and is selected.
  void OnNewPortfolio();
  // File > Import...: the files picked, then the import dialog (view_import.cpp).
  void OnImport();
  // Files dropped on the main window: the import dialog over them.
  void importFiles(const QStringList& files);
  // Quotes > Go to Date: asks for a date and selects its quote, or the nearest earlier one.
  void OnGoToDate();

  // Selects the quote of date in the quotes grid, or the newest one before it, and scrolls to
  // it; false (nothing changed) when every quote is later.
  bool goToDate(qdb::DateSerial date);
  // Opens the portfolio in directory: selected in the portfolio list, or added to the list when
  // the current root's scan did not find it. False, after saying so, when it holds no MASTER.
  bool openPortfolio(const QString& directory);
  // Shows one day in the main window: the portfolio in directory (opened as openPortfolio
  // does), its entry with fileNumber loaded (symbol tells apart entries that share the number),
  // and the quote of date selected: the bar at seconds when given, else the newest of that
  // date or the nearest earlier. For the windows that list findings (Split Search, Verify);
  // false when the portfolio or the entry is not there.
  bool showQuote(const QString& directory, int fileNumber, qdb::DateSerial date,
                 const QString& symbol = QString(), std::int32_t seconds = -1);
  // The portfolio directories opened last, newest first (File > Recent Portfolios).
  QStringList recentPortfolios() const;
  // Portfolio > Verify... and Verify Tree...: every quote of the portfolio, or of every
  // portfolio below the root, checked with a progress window; the report window follows, and a
  // double-click on one of its rows selects that symbol and day here.
  void OnVerify();
  void OnVerifyTree();

  // Around a command (view_reload.cpp). prepareCommand loads the highlighted symbol when a
  // keyboard move's load is still waiting, and reads the symbols and quotes again when another
  // program changed the portfolio's files. False refuses the command (after saying why): its
  // symbol row, or for a command on the current quote (quoteRow) its quote, has gone. The watch
  // of the files waits until commandDone, which records the command's own writes.
  bool prepareCommand(bool quoteRow);
  void commandDone();
  void flushPendingLoad();
  bool symbolLoadPending() const;
  // Reads the symbols and quotes again after another program changed the portfolio's files,
  // keeping the symbol (by file number) and the quote (by date and time) where they remain,
  // and says so in the status bar (statusNote).
  void reloadChangedFiles();

  // The grids' column widths and the splitters' sizes, as the settings keep them.
  void saveColumnWidths();
  // The splitters' sizes alone.
  void savePaneSizes();

  // Where the user is, and shorthands of it for the frame and tests.
  const CBrowseState& state() const { return *m_state; }
  bool portfoliosFound() const { return m_state->portfoliosFound(); }
  int symbolCount() const { return m_state->symbolCount(); }
  int currentSymbolRow() const { return m_state->currentSymbolRow(); }
  int quoteCount() const { return m_state->quoteCount(); }
  int currentQuoteRow() const { return m_state->currentQuoteRow(); }
  QString drive() const { return m_state->drive(); }
  QString masterPath() const { return m_state->masterPath(); }
  QString portfolioDir() const { return m_state->portfolioDir(); }
  QString currentSymbol() const { return m_state->currentSymbol(); }
  QString currentName() const { return m_state->currentName(); }
  QString firstDateText() const { return m_state->firstDateText(); }
  QString lastDateText() const { return m_state->lastDateText(); }
  bool limitToFilter() const { return m_search.limitToFilter; }
  QString filterPath() const { return m_search.filterPath; }
  bool autoRepair() const { return m_search.autoRepair; }

  CSplitSearchController* splitSearch() const { return m_splitSearch; }
  QComboBox* driveList() const;
  QListWidget* portfolioList() const;
  CGridView* symbolsGrid() const;
  CGridView* quotesGrid() const;
  CSymbolsGridModel* symbolsModel() const;
  CQuotesGridModel* quotesModel() const;
  CChartView* chartView() const;
  QSplitter* quotesSplitter() const;
  // The splitter of the upper groups over the quotes, and the one of portfolios beside symbols.
  QSplitter* mainSplitter() const;
  QSplitter* topSplitter() const;

 signals:
  // The state, the lists or the grids changed: the frame refreshes its panes and commands.
  void stateChanged();
  // A note for the status bar's message pane.
  void statusNote(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // The drive change: remember root, clear everything and scan it (unless it is current).
  void changeDrive(const QString& root);
  // A directory typed in the root list: listed for this run and walked.
  void walkTypedPlace(const QString& root);
  void onPortfolioPicked(const QString& directory);
  void onSymbolRowSelected(int row);
  void onQuoteRowSelected(int row);
  // The chart's series afresh from the current symbol's file, when the chart is shown.
  void loadChart();
  void onChartActivated(int row);
  // Runs the verify of dir (tree: of every portfolio below it) and opens its report.
  void openVerifyReport(const QString& dir, bool tree);
  void setCaption(const QString& symbol);
  void failSymbolsFill();
  // The symbols just listed (count rows, or -1 when they couldn't be): the current row, the
  // watch of the index files, the caption of an empty portfolio.
  bool symbolsListed(int count, int row);
  using QuoteRunner = QuoteCommandOutcome (*)(const QuoteCommandContext&);
  void runQuoteCommand(QuoteRunner runner);
  SymbolCommandContext symbolContext() const;
  void applySymbolOutcome(const SymbolCommandOutcome& outcome);
  // The import dialog over files (asked for when empty); then the portfolio written is
  // listed with the imported symbol current.
  void runImport(const QStringList& files);
  // Selects the portfolio dir in the portfolio list (adding it when it is not listed) and
  // lists its symbols with the entry fileNumber current (else the first), its quotes loaded.
  void showPortfolioEntry(const QString& dir, int fileNumber);
  // Watches the current portfolio's index files, just listed, and the current row's data
  // file, just read, for changes made by another program.
  void watchIndexFiles();
  void watchDataFile();
  void restorePaneSizes();
  // Keeps the portfolio just opened first in the recent list and as the last portfolio.
  void rememberPortfolio(const QString& directory);
  // Keeps the symbol just loaded as the last one shown.
  void rememberSymbol(int fileNumber, const std::string& symbol);
  // The symbols grid's row of the entry with fileNumber, or -1.
  int symbolRowOfFile(int fileNumber, const QString& symbol) const;

  CSettingsStore& m_settings;
  CBrowseState* m_state;
  SearchSettings m_search;
  QString m_startRoot;
  QString m_typedRoot;  // the last directory typed in the root list
  CPortfoliosPane* m_portfolios;
  CSymbolsPane* m_symbols;
  CQuotesPane* m_quotes;
  CChartSplitter* m_quotesSplit;  // the chart (hidden unless shown) above the quotes
  QSplitter* m_mainSplit;         // the upper groups over the quotes
  QSplitter* m_topSplit;          // the portfolios beside the symbols
  // The symbol a fill of the symbols grid makes current instead of its row: the last one
  // shown, when its portfolio comes back after a scan.
  struct WantedSymbol {
    int fileNumber = 0;
    std::string symbol;
  };
  std::optional<WantedSymbol> m_wantedSymbol;
  std::optional<WantedSymbol> m_savedSymbol;  // the last symbol as the settings hold it
  CSplitSearchController* m_splitSearch;
  // A keyboard move of the symbols highlight loads that symbol after this pause, restarted
  // at each move, so holding a key down stays smooth.
  QTimer* m_symbolLoad;
  CPortfolioWatcher* m_watcher;
  bool m_startUpArmed = false;
  bool m_startUpRan = false;
  bool m_startUpDone = false;
};
