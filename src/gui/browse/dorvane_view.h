// The browser view: the form that fills the main window and holds the whole browsing state of
// a run (the root scanned, the portfolios found, the current portfolio, symbol and quote). Its
// three groups do the work: "Portfolios" (root list over portfolio list, and the scan) top
// left, "Symbols" top right, "Quotes" across the bottom, with the chart above the quotes when
// View > Chart is on. The view keeps the state and wires the groups together.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "gui/shell/command_rules.h"

class QComboBox;
class QSplitter;
class CChartView;
class CSplitSearchController;
struct QuoteCommandContext;
struct QuoteCommandOutcome;
struct SymbolCommandContext;
struct SymbolCommandOutcome;
namespace core {
struct ViewState;
}
class QListWidget;
class CGridView;
class CPortfoliosPane;
class CPortfolioWatcher;
class QTimer;
class CQuotesGridModel;
class CQuotesPane;
class CSettingsStore;
class CSymbolsGridModel;
class CSymbolsPane;

class CDorvaneView : public QWidget {
  Q_OBJECT
 public:
  using RootsProvider = std::function<std::vector<std::string>()>;

  // Reads the search settings ("Search": Limit, Name, MasterFix). The start directory, the
  // default of the filter path, is the current directory now.
  explicit CDorvaneView(CSettingsStore& settings, QWidget* parent = nullptr);

  // The roots the root list offers (core::list_roots unless replaced, as tests do).
  void setRootsProvider(RootsProvider provider);
  // A directory to scan at start-up instead of the remembered root (the command line's
  // argument); it joins the root list for this run and is not remembered. The filter never
  // hides it: its scans use the filter only when the filter path lies inside it.
  void setStartRoot(const QString& root);

  // Start-up, run once by a timer 100 ms after the first paint: grid columns from the
  // settings, then the remembered root selected and scanned.
  void StartUp();
  // True once the start-up has run to its end (the first scan and loads included).
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

  // Commands.
  void OnRescan();
  void OnSearchFilter();
  // Quotes menu: each runs its controller on the current quote row, then reloads the quotes
  // grid with the row the controller names current (Add then edits the new day).
  void OnEditQuote();
  void OnSplit();
  void OnAdjust();
  void OnAddQuote();
  void OnDeleteQuote();
  // Writes the current symbol's quotes to a text file.
  void OnExport();
  // Symbol menu: Edit shows the new texts in the current row without a reload; Delete and
  // Move reload the symbols grid; Copy leaves the grids and the selection as they are.
  void OnEditSymbol();
  void OnDeleteSymbol();
  void OnMoveSymbol();
  void OnCopySymbol();
  // The facts of the current row's symbol.
  void OnDataFacts();
  // View > Chart: shows or hides the chart above the quotes grid (remembered in "Chart").
  void setChartShown(bool shown);
  bool chartShown() const { return m_chartShown; }
  // Selects the grid row of the chart's next suspect day (wrapping to the oldest).
  void OnNextSuspect();
  // Writes the chart as shown to a PNG file the user names.
  void OnSaveChart();
  // Opens the one modeless Split Search window over the current portfolio (or raises it).
  void OnSplitSearch();
  // Portfolio > Export All: every symbol of the portfolio as text; the outcome goes to the
  // main window's status bar.
  void OnExportAll();

  // Before a command: loads the highlighted symbol when a keyboard move's load is still
  // waiting, and reads the symbols and quotes again when another program changed the
  // portfolio's files. False refuses the command (after saying why): the symbol row, or for a
  // command on the current quote (quoteRow) the quote row, no longer exists. Holds back the
  // watch of the files until commandDone.
  bool prepareCommand(bool quoteRow);
  // After a command: its own writes are recorded, so they raise no "changed" note.
  void commandDone();
  // Loads the highlighted symbol's quotes now if a keyboard move's load is waiting.
  void flushPendingLoad();
  bool symbolLoadPending() const;
  // Reads the symbols and quotes again after another program changed the portfolio's files,
  // keeping the symbol (by file number) and the quote (by date and time) where they remain,
  // and says so in the status bar (statusNote).
  void reloadChangedFiles();

  // The grids' column widths, as the settings keep them.
  void saveColumnWidths();

  // State read by the main frame and by tests.
  bool portfoliosFound() const { return m_portfoliosFound; }
  int symbolCount() const { return m_symbolCount; }
  int currentSymbolRow() const { return m_currentSymbolRow; }
  int quoteCount() const { return m_quoteCount; }
  int currentQuoteRow() const { return m_currentQuoteRow; }
  QString drive() const { return m_drive; }
  QString masterPath() const { return m_masterPath; }
  QString portfolioDir() const { return m_portfolioDir; }
  QString currentSymbol() const { return m_currentSymbol; }
  QString currentName() const { return m_currentName; }
  QString firstDateText() const { return m_firstDateText; }
  QString lastDateText() const { return m_lastDateText; }
  bool limitToFilter() const { return m_limitToFilter; }
  QString filterPath() const { return m_filterPath; }
  bool autoRepair() const { return m_autoRepair; }
  CommandConditions commandConditions() const;
  CSplitSearchController* splitSearch() const { return m_splitSearch; }

  QComboBox* driveList() const;
  QListWidget* portfolioList() const;
  CGridView* symbolsGrid() const;
  CGridView* quotesGrid() const;
  CSymbolsGridModel* symbolsModel() const;
  CQuotesGridModel* quotesModel() const;
  CChartView* chartView() const { return m_chart; }
  QSplitter* quotesSplitter() const { return m_quotesSplit; }

 signals:
  // Counts, current rows, lists or grids changed: the frame refreshes its panes and commands.
  void stateChanged();
  // A note for the status bar's message pane.
  void statusNote(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Keeps the chart's share of the splitter's height as the splitter is resized.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The drive change: remember root, clear everything and scan it (unless it is current).
  void changeDrive(const QString& root);
  void onPortfolioPicked(const QString& directory);
  void onSymbolRowSelected(int row);
  void onQuoteRowSelected(int row);
  void onSymbolActivated();
  // The chart's series afresh from the current symbol's file, when the chart is shown; the
  // days shown are kept when the symbol is the one the chart held.
  void loadChart();
  void onChartActivated(int row);
  // Gives the chart m_chartShare thousandths of the splitter's height.
  void applyChartShare();
  void setCaption(const QString& symbol);
  void failSymbolsFill();
  using QuoteRunner = QuoteCommandOutcome (*)(const QuoteCommandContext&);
  void runQuoteCommand(QuoteRunner runner);
  // The symbol whose quotes the grid shows, as the core's commands take it.
  core::ViewState viewState() const;
  SymbolCommandContext symbolContext() const;
  void applySymbolOutcome(const SymbolCommandOutcome& outcome);
  // Watches the current portfolio's index files, just listed, and the current row's data
  // file, just read, for changes made by another program.
  void watchIndexFiles();
  void watchDataFile();
  // The place the user is at, to find again after a reload.
  struct Place {
    bool symbol = false;  // a symbol row was current
    int fileNumber = 0;
    bool extended = false;
    std::string symbolText;
    bool quote = false;  // a quote row was current
    std::int32_t date = 0;
    std::int32_t seconds = 0;
  };
  Place currentPlace() const;
  // The symbols grid's row of place's symbol, or -1.
  int symbolRowOf(const Place& place) const;
  // The quotes grid's row of place's quote, or -1.
  int quoteRowOf(const Place& place) const;

  CSettingsStore& m_settings;
  QString m_startRoot;

  CPortfoliosPane* m_portfolios;
  CSymbolsPane* m_symbols;
  CQuotesPane* m_quotes;
  QSplitter* m_quotesSplit;  // the chart (hidden unless shown) above the quotes
  CChartView* m_chart;
  CSplitSearchController* m_splitSearch;
  // A keyboard move of the symbols highlight loads that symbol after this pause, restarted
  // at each move, so holding a key down stays smooth.
  QTimer* m_symbolLoad;
  CPortfolioWatcher* m_watcher;
  bool m_chartShown = false;
  int m_chartShare = 0;       // the chart's thousandths of the height it shares with the quotes
  std::string m_chartSource;  // the portfolio and symbol whose series the chart was given

  bool m_autoRepair = false;
  bool m_limitToFilter = true;
  QString m_filterPathUpper;
  QString m_filterPath;
  QString m_startDirectory;

  bool m_portfoliosFound = false;
  bool m_startUpArmed = false;
  bool m_startUpRan = false;
  bool m_startUpDone = false;
  QString m_drive;  // the root scanned; empty before the first scan
  bool m_masterPathSet = false;
  QString m_masterPath;
  QString m_portfolioDir;
  QString m_currentSymbol;
  QString m_currentName;
  // The file number of the entry whose quotes are shown: every command reads and rewrites that
  // entry, even when another entry of the portfolio shows the same symbol.
  int m_currentFileNumber = 0;
  int m_symbolCount = 0;
  int m_currentSymbolRow = 0;
  int m_quoteCount = 0;
  int m_currentQuoteRow = 1;
  QString m_firstDateText;
  QString m_lastDateText;
};
