// The browser view: the form that fills the main window and holds the whole browsing state of
// a run (the root scanned, the portfolios found, the current portfolio, symbol and quote).
// "Portfolios" (root list over portfolio list) sits top left, "Symbols" top right, "Quotes"
// across the bottom.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "gui/shell/command_rules.h"

class QComboBox;
class QListWidget;
class QItemSelection;
class CGridView;
class CQuotesGridModel;
class CSearchProgressDlg;
class CSettingsStore;
class CSymbolsGridModel;

class CDorvaneView : public QWidget {
  Q_OBJECT
 public:
  using RootsProvider = std::function<std::vector<std::string>()>;

  // Reads the search settings ("Search": Limit, Name, MasterFix). The start directory, the
  // default of the filter path, is the current directory now.
  explicit CDorvaneView(CSettingsStore& settings, QWidget* parent = nullptr);
  ~CDorvaneView() override;

  // The roots the root list offers (core::list_roots unless replaced, as tests do).
  void setRootsProvider(RootsProvider provider);
  // A directory to scan at start-up instead of the remembered root (the command line's
  // argument); it joins the root list for this run and is not remembered.
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
  bool splitSearchOpen() const { return m_splitSearchOpen; }
  CommandConditions commandConditions() const;

  QComboBox* driveList() const { return m_driveList; }
  QListWidget* portfolioList() const { return m_portfolioList; }
  CGridView* symbolsGrid() const { return m_symbolsGrid; }
  CGridView* quotesGrid() const { return m_quotesGrid; }
  CSymbolsGridModel* symbolsModel() const { return m_symbolsModel; }
  CQuotesGridModel* quotesModel() const { return m_quotesModel; }

 signals:
  // Counts, current rows, lists or grids changed: the frame refreshes its panes and commands.
  void stateChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildLayout();
  void setUpGridColumns();
  // The root path of a root-list entry (its text may be "[-c-]").
  QString rootAt(int index) const;
  std::vector<std::string> listedRoots() const;
  // The drive change: remember root, clear everything and scan it (unless it is current).
  void changeDrive(const QString& root);
  void onDriveActivated(int index);
  void onPortfolioSelected();
  void onSymbolSelectionChanged(const QItemSelection& selected);
  void onQuoteSelectionChanged(const QItemSelection& selected);
  void onSymbolClicked();
  void selectRoot(const QString& root);
  void setCaption(const QString& symbol);
  void failSymbolsFill();
  QString masterPathFor(const QString& directory) const;
  void notifyStateChanged();

  CSettingsStore& m_settings;
  RootsProvider m_rootsProvider;
  QString m_startRoot;

  QComboBox* m_driveList = nullptr;
  QListWidget* m_portfolioList = nullptr;
  CGridView* m_symbolsGrid = nullptr;
  CGridView* m_quotesGrid = nullptr;
  CSymbolsGridModel* m_symbolsModel = nullptr;
  CQuotesGridModel* m_quotesModel = nullptr;
  CSearchProgressDlg* m_progress = nullptr;

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
  int m_symbolCount = 0;
  int m_currentSymbolRow = 0;
  int m_quoteCount = 0;
  int m_currentQuoteRow = 1;
  QString m_firstDateText;
  QString m_lastDateText;
  bool m_splitSearchOpen = false;
};
