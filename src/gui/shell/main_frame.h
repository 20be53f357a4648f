// The main window around the browser view: the menus, the toolbar, the status bar with its
// message pane and the symbol and quote counters, and the remembered placement.
#pragma once

#include <vector>

#include <QIcon>
#include <QMainWindow>
#include <QRect>

#include "gui/shell/command_rules.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class CDorvaneView;
class CSettingsStore;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // Builds the bars and the view and restores the placement from "Screen" (95 % of the work
  // area, centred, when nothing usable is stored).
  explicit CMainFrame(CSettingsStore& settings, QWidget* parent = nullptr);

  CDorvaneView* view() const { return m_view; }

  // A command's action and the flag of computeCommandStates that enables it.
  struct RuledAction {
    QAction* action;
    bool CommandStates::*flag;
  };
  // Every action whose enabled state follows a rule, with its flag.
  std::vector<RuledAction> ruledActions() const;
  // What the rules read: the view's state and the rows its lists and grids hold.
  CommandConditions commandConditions() const;
  // Enables every command by its rule from the view's current state.
  void updateCommandStates();
  // The two counter panes from the view's counts and rows.
  void refreshStatusPanes();

  QAction* exitAction() const { return m_exit; }
  QAction* toolbarAction() const { return m_toggleToolbar; }
  QAction* statusBarAction() const { return m_toggleStatusBar; }
  QAction* chartAction() const { return m_toggleChart; }
  QAction* searchFilterAction() const { return m_searchFilter; }
  QAction* rescanAction() const { return m_rescan; }
  QAction* helpTopicsAction() const { return m_helpTopics; }
  QAction* aboutAction() const { return m_about; }
  // A command's action by its object name: "editQuote", "split", "adjust", "addQuote",
  // "deleteQuote", "export", "deleteSymbol", "moveSymbol", "copySymbol", "editSymbol",
  // "dataFacts", "splitSearch", "nextSuspect", "saveChart", "newPortfolio", "import",
  // "goToDate" (nullptr for another name).
  QAction* commandAction(const QString& name) const;
  QToolBar* toolbar() const { return m_toolbar; }
  // File > Recent Portfolios, and the menus a right-click on a grid row shows.
  QMenu* recentMenu() const { return m_recentMenu; }
  QMenu* symbolMenu() const { return m_symbolMenu; }
  QMenu* quotesMenu() const { return m_quotesMenu; }
  // Fills File > Recent Portfolios from the view's list ("&1 directory", ...), disabled when
  // the list is empty.
  void fillRecentMenu();
  QString symbolPaneText() const;
  QString quotePaneText() const;
  QString idleText() const;

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Text files dropped on the window open the import dialog over them, as File > Import...
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void createActions();
  // A command of the view, enabled by its flag.
  void addCommand(const char* name, const QString& text, const QString& prompt, const QIcon& icon,
                  void (CDorvaneView::*handler)(), bool CommandStates::*flag);
  // Runs the view's command of action once a waiting symbol load and any change made by
  // another program are settled, and only when its rule still allows it then.
  void runCommand(const QAction* action);
  void createMenus();
  void createToolbar();
  void createStatusBar();
  // A right-click on a row of a grid makes that row current and shows the grid's menu.
  void createContextMenus();
  // The chart's own commands show only while the chart does.
  void showChartCommands(bool shown);
  void restorePlacement();
  void savePlacement();

  CSettingsStore& m_settings;
  CDorvaneView* m_view;
  bool m_placementRestored = false;
  QRect m_savedPlacement;  // the x, y, cx, cy last written to "Screen"

  QAction* m_exit = nullptr;
  QAction* m_toggleToolbar = nullptr;
  QAction* m_toggleStatusBar = nullptr;
  QAction* m_toggleChart = nullptr;
  QAction* m_chartSeparator = nullptr;  // before Next Suspect on the toolbar
  QAction* m_searchFilter = nullptr;
  QAction* m_rescan = nullptr;
  QAction* m_helpTopics = nullptr;
  QAction* m_about = nullptr;
  std::vector<RuledAction> m_ruled;  // every action with a rule, Search Filter and ReScan first
  // The view's handler of each command added by addCommand.
  struct CommandHandler {
    const QAction* action;
    void (CDorvaneView::*handler)();
    bool CommandStates::*flag;
  };
  std::vector<CommandHandler> m_handlers;
  QToolBar* m_toolbar = nullptr;
  QMenu* m_recentMenu = nullptr;
  QMenu* m_symbolMenu = nullptr;
  QMenu* m_quotesMenu = nullptr;
  QLabel* m_idle = nullptr;
  QTimer* m_noteTimer = nullptr;  // brings the idle text back after a note of the view
  QLabel* m_symbolPane = nullptr;
  QLabel* m_quotePane = nullptr;
};
