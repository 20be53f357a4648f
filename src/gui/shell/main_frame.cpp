#include "gui/shell/main_frame.h"

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "gui/analysis/split_search_controller.h"
#include "gui/base/help.h"
#include "gui/base/placement.h"
#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/about_dlg.h"
#include "gui/shell/command_icons.h"
#include "gui/shell/command_keys.h"
#include "gui/shell/status_panes.h"

namespace {

constexpr int kStatusNoteMs = 15000;
const QString kIdleText = QStringLiteral("For Help, press F1");

// A command's prompt is its status-bar text, then "\n", then its tooltip.
void setPrompt(QAction* action, const QString& prompt) {
  const qsizetype split = prompt.indexOf(QLatin1Char('\n'));
  action->setStatusTip(split < 0 ? prompt : prompt.left(split));
  action->setToolTip(split < 0 ? prompt : prompt.mid(split + 1));
}

}  // namespace

CMainFrame::CMainFrame(CSettingsStore& settings, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_view(new CDorvaneView(settings, this)) {
  setCentralWidget(m_view);
  createActions();
  createMenus();
  createToolbar();
  createStatusBar();
  addCommandKeys(*this);
  createContextMenus();

  showChartCommands(m_view->chartShown());
  connect(m_toggleChart, &QAction::toggled, this, [this](bool shown) {
    m_view->setChartShown(shown);
    showChartCommands(shown);
  });
  connect(m_view, &CDorvaneView::stateChanged, this, [this] {
    updateCommandStates();
    refreshStatusPanes();
  });
  // The view's notes (files read again after another program changed them) stay a while in
  // the message pane, then the idle text is back.
  m_noteTimer = new QTimer(this);
  m_noteTimer->setSingleShot(true);
  m_noteTimer->setInterval(kStatusNoteMs);
  connect(m_noteTimer, &QTimer::timeout, this, [this] { m_idle->setText(kIdleText); });
  connect(m_view, &CDorvaneView::statusNote, this, [this](const QString& text) {
    m_idle->setText(text);
    m_noteTimer->start();
  });
  updateCommandStates();
  refreshStatusPanes();
  restorePlacement();
  setAcceptDrops(true);
}

void CMainFrame::createActions() {
  m_exit =
      new QAction(commandIcon(QStringLiteral("application-exit"), QStyle::SP_DialogCloseButton),
                  QStringLiteral("E&xit"), this);
  setPrompt(m_exit, QStringLiteral("Quit the application\nExit"));
  connect(m_exit, &QAction::triggered, this, &QWidget::close);

  m_toggleToolbar = new QAction(QStringLiteral("&Toolbar"), this);
  m_toggleToolbar->setCheckable(true);
  m_toggleToolbar->setChecked(true);
  setPrompt(m_toggleToolbar, QStringLiteral("Show or hide the toolbar\nToggle ToolBar"));

  m_toggleStatusBar = new QAction(QStringLiteral("&Status Bar"), this);
  m_toggleStatusBar->setCheckable(true);
  m_toggleStatusBar->setChecked(true);
  setPrompt(m_toggleStatusBar, QStringLiteral("Show or hide the status bar\nToggle StatusBar"));

  m_toggleChart = new QAction(QStringLiteral("&Chart"), this);
  m_toggleChart->setCheckable(true);
  m_toggleChart->setChecked(m_view->chartShown());
  setPrompt(m_toggleChart,
            QStringLiteral("Show or hide the price chart of the quotes\nToggle Chart"));

  m_searchFilter =
      new QAction(commandIcon(QStringLiteral("edit-find"), QStyle::SP_FileDialogContentsView),
                  QStringLiteral("Search &Filter..."), this);
  setPrompt(m_searchFilter, QStringLiteral("Filter\nFilter"));
  connect(m_searchFilter, &QAction::triggered, m_view, &CDorvaneView::OnSearchFilter);

  m_rescan = new QAction(commandIcon(QStringLiteral("view-refresh"), QStyle::SP_BrowserReload),
                         QStringLiteral("&ReScan"), this);
  m_rescan->setShortcut(QKeySequence(Qt::Key_F5));
  m_rescan->setShortcutContext(Qt::ApplicationShortcut);
  setPrompt(m_rescan, QStringLiteral("ReScan drive(s) for portfolios\nReScan"));
  connect(m_rescan, &QAction::triggered, m_view, &CDorvaneView::OnRescan);

  m_helpTopics =
      new QAction(commandIcon(QStringLiteral("help-contents"), QStyle::SP_DialogHelpButton),
                  QStringLiteral("&Help Topics"), this);
  // F1 in the main window; each dialog's own F1 opens its own topic.
  m_helpTopics->setShortcut(QKeySequence(Qt::Key_F1));
  m_helpTopics->setShortcutContext(Qt::WindowShortcut);
  setPrompt(m_helpTopics, QStringLiteral("List Help topics\nHelp Topics"));
  connect(m_helpTopics, &QAction::triggered, this, [this] { showHelp({}, this); });

  m_about = new QAction(commandIcon(QStringLiteral("help-about"), QStyle::SP_MessageBoxQuestion),
                        QStringLiteral("&About Dorvane..."), this);
  setPrompt(m_about,
            QStringLiteral("Display program information, version number and copyright\nAbout"));
  connect(m_about, &QAction::triggered, this, [this] { runAbout(this); });

  m_ruled = {{m_searchFilter, &CommandStates::searchFilter}, {m_rescan, &CommandStates::rescan}};
  using V = CDorvaneView;
  using S = CommandStates;
  // The view's commands: object name, menu text, prompt ("status text\ntooltip"), icon theme
  // name with its fallback, the view's handler and the flag that enables it.
  struct CommandEntry {
    const char* name;
    const char* text;
    const char* prompt;
    const char* theme;
    QStyle::StandardPixmap fallback;
    void (CDorvaneView::*handler)();
    bool CommandStates::*flag;
  };
  static const CommandEntry kCommands[] = {
      {"newPortfolio", "&New Portfolio...",
       "Create an empty portfolio in a directory\nNew portfolio", "folder-new",
       QStyle::SP_FileDialogNewFolder, &V::OnNewPortfolio, &S::newPortfolio},
      {"import", "&Import...", "Import prices from delimited text files\nImport", "document-import",
       QStyle::SP_DialogOpenButton, &V::OnImport, &S::importText},
      {"splitSearch", "&Split Search...", "Search this portfolio for possible splits\nSplit search",
       "system-search", QStyle::SP_FileDialogDetailedView, &V::OnSplitSearch, &S::splitSearch},
      {"exportAll", "Export &All...",
       "Export the quotes of every symbol of this portfolio\nExport all", "document-save-all",
       QStyle::SP_DialogSaveButton, &V::OnExportAll, &S::exportAll},
      {"verify", "&Verify...", "Check every quote of this portfolio\nVerify",
       "tools-check-spelling", QStyle::SP_DialogApplyButton, &V::OnVerify, &S::verify},
      {"verifyTree", "Verify &Tree...",
       "Check every quote of every portfolio below the root\nVerify tree", "tools-check-spelling",
       QStyle::SP_DialogApplyButton, &V::OnVerifyTree, &S::verifyTree},
      {"deleteSymbol", "&Delete", "Delete Symbol\nDelete Symbol", "edit-delete",
       QStyle::SP_TrashIcon, &V::OnDeleteSymbol, &S::deleteSymbol},
      {"moveSymbol", "&Move...", "Move\nMove", "go-next", QStyle::SP_ArrowForward, &V::OnMoveSymbol,
       &S::moveSymbol},
      {"copySymbol", "&Copy...", "Copy\nCopy", "edit-copy", QStyle::SP_FileLinkIcon,
       &V::OnCopySymbol, &S::copySymbol},
      {"editSymbol", "&Edit...", "Edit the symbol and name\nEdit Symbol", "document-properties",
       QStyle::SP_FileDialogInfoView, &V::OnEditSymbol, &S::editSymbol},
      {"dataFacts", "&About...", "Facts about the selected quote series\nData facts",
       "dialog-information", QStyle::SP_MessageBoxInformation, &V::OnDataFacts, &S::dataFacts},
      {"editQuote", "&Edit...", "Edit the selected day's data\nEdit data", "document-edit",
       QStyle::SP_FileIcon, &V::OnEditQuote, &S::editQuote},
      {"split", "&Split...", "Enter a split\nEnter split", "view-split-left-right",
       QStyle::SP_ToolBarHorizontalExtensionButton, &V::OnSplit, &S::split},
      {"adjust", "Adju&st...", "Scale the volume or price\nScale values", "transform-scale",
       QStyle::SP_TitleBarUnshadeButton, &V::OnAdjust, &S::adjust},
      {"addQuote", "&Add...", "Add a single quote\nAdd quote", "list-add",
       QStyle::SP_FileDialogNewFolder, &V::OnAddQuote, &S::addQuote},
      {"deleteQuote", "&Delete...", "Delete a single quote\nDelete quote", "list-remove",
       QStyle::SP_DialogDiscardButton, &V::OnDeleteQuote, &S::deleteQuote},
      {"export", "E&xport...", "Export quotes\nExport", "document-save-as",
       QStyle::SP_DialogSaveButton, &V::OnExport, &S::exportQuotes},
      {"nextSuspect", "&Next Suspect", "Select the next day that looks wrong\nNext suspect",
       "dialog-warning", QStyle::SP_MessageBoxWarning, &V::OnNextSuspect, &S::nextSuspect},
      {"saveChart", "Save C&hart As...", "Save the chart as a PNG picture\nSave chart",
       "image-x-generic", QStyle::SP_DialogSaveButton, &V::OnSaveChart, &S::saveChart},
      {"goToDate", "&Go to Date...",
       "Select the quote of a date, or the nearest earlier one\nGo to date", "go-jump",
       QStyle::SP_ArrowDown, &V::OnGoToDate, &S::goToDate},
  };
  for (const CommandEntry& entry : kCommands)
    addCommand(entry.name, QString::fromUtf8(entry.text), QString::fromUtf8(entry.prompt),
               commandIcon(QString::fromLatin1(entry.theme), entry.fallback), entry.handler,
               entry.flag);
  QAction* nextSuspect = commandAction(QStringLiteral("nextSuspect"));
  QAction* saveChart = commandAction(QStringLiteral("saveChart"));
  nextSuspect->setShortcut(QKeySequence(Qt::Key_F3));
  commandAction(QStringLiteral("goToDate"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  // The chart's context menu offers them too.
  m_view->chartView()->addActions({nextSuspect, saveChart});
  m_view->chartView()->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CMainFrame::addCommand(const char* name, const QString& text, const QString& prompt,
                            const QIcon& icon, void (CDorvaneView::*handler)(),
                            bool CommandStates::*flag) {
  auto* action = new QAction(icon, text, this);
  action->setObjectName(QString::fromLatin1(name));
  setPrompt(action, prompt);
  m_handlers.push_back({action, handler, flag});
  connect(action, &QAction::triggered, m_view, [this, action] { runCommand(action); });
  m_ruled.push_back({action, flag});
}

void CMainFrame::runCommand(const QAction* action) {
  const auto found = std::find_if(m_handlers.begin(), m_handlers.end(),
                                  [action](const CommandHandler& h) { return h.action == action; });
  if (found == m_handlers.end()) return;
  const CommandHandler command = *found;
  const bool quoteRow =
      command.flag == &CommandStates::editQuote || command.flag == &CommandStates::split ||
      command.flag == &CommandStates::adjust || command.flag == &CommandStates::addQuote ||
      command.flag == &CommandStates::deleteQuote;
  if (!m_view->prepareCommand(quoteRow)) return;
  updateCommandStates();
  const CommandStates states = computeCommandStates(commandConditions());
  if (states.*command.flag) (m_view->*command.handler)();
  m_view->commandDone();
}

QAction* CMainFrame::commandAction(const QString& name) const {
  for (const RuledAction& ruled : m_ruled)
    if (ruled.action->objectName() == name) return ruled.action;
  return nullptr;
}

void CMainFrame::createMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->addAction(commandAction(QStringLiteral("newPortfolio")));
  file->addAction(commandAction(QStringLiteral("import")));
  file->addSeparator();
  file->addAction(commandAction(QStringLiteral("saveChart")));
  file->addAction(m_exit);
  m_recentMenu = new QMenu(QStringLiteral("Recent &Portfolios"), file);
  m_recentMenu->setObjectName(QStringLiteral("recentPortfolios"));
  setPrompt(m_recentMenu->menuAction(),
            QStringLiteral("Open one of the portfolios opened last\nRecent portfolios"));
  file->insertMenu(m_exit, m_recentMenu);
  file->insertSeparator(m_exit);
  connect(file, &QMenu::aboutToShow, this, &CMainFrame::fillRecentMenu);

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  view->addAction(m_toggleToolbar);
  view->addAction(m_toggleStatusBar);
  view->addAction(m_toggleChart);
  view->addAction(commandAction(QStringLiteral("nextSuspect")));

  QMenu* portfolio = menuBar()->addMenu(QStringLiteral("&Portfolio"));
  portfolio->addAction(commandAction(QStringLiteral("splitSearch")));
  portfolio->addAction(commandAction(QStringLiteral("exportAll")));
  portfolio->addAction(commandAction(QStringLiteral("verify")));
  portfolio->addAction(commandAction(QStringLiteral("verifyTree")));
  portfolio->addAction(m_searchFilter);
  portfolio->addAction(m_rescan);

  // A null name stands for a separator.
  const auto fill = [this](QMenu* menu, std::initializer_list<const char*> names) {
    for (const char* name : names) {
      if (name == nullptr)
        menu->addSeparator();
      else
        menu->addAction(commandAction(QString::fromLatin1(name)));
    }
  };
  QMenu* symbol = menuBar()->addMenu(QStringLiteral("&Symbol"));
  fill(symbol, {"deleteSymbol", "moveSymbol", "copySymbol", nullptr, "editSymbol", "dataFacts"});
  QMenu* quotes = menuBar()->addMenu(QStringLiteral("&Quotes"));
  fill(quotes,
       {"editQuote", "split", "adjust", nullptr, "addQuote", "deleteQuote", nullptr, "export"});
  quotes->addSeparator();
  quotes->addAction(commandAction(QStringLiteral("goToDate")));
  m_symbolMenu = symbol;
  m_quotesMenu = quotes;

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->addAction(m_helpTopics);
  help->addSeparator();
  help->addAction(m_about);

  // Menus are refreshed when they open, as well as whenever the view's state changes.
  for (QMenu* menu : {file, view, portfolio, symbol, quotes, help})
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
}

void CMainFrame::fillRecentMenu() {
  m_recentMenu->clear();
  const QStringList recent = m_view->recentPortfolios();
  for (int i = 0; i < recent.size(); ++i) {
    const QString directory = recent.at(i);
    // "&&" keeps an ampersand of the path from becoming a mnemonic.
    QAction* entry =
        m_recentMenu->addAction(QStringLiteral("&%1 ").arg(i + 1) +
                                QString(directory).replace(QLatin1Char('&'), QStringLiteral("&&")));
    connect(entry, &QAction::triggered, m_view, [this, directory] {
      if (m_view->prepareCommand(false)) {
        m_view->openPortfolio(directory);
        m_view->commandDone();
      }
    });
  }
  m_recentMenu->menuAction()->setEnabled(!recent.isEmpty());
}

void CMainFrame::createContextMenus() {
  const std::pair<CGridView*, QMenu*> grids[] = {{m_view->symbolsGrid(), m_symbolMenu},
                                                 {m_view->quotesGrid(), m_quotesMenu}};
  for (const auto& [grid, menu] : grids) {
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid, &QWidget::customContextMenuRequested, this,
            [this, grid, menu](const QPoint& position) {
              const QModelIndex index = grid->indexAt(position);
              if (!index.isValid()) return;
              // The row right-clicked becomes the current one, which the commands act on; a
              // row of several selected for copying keeps the others selected.
              const bool selected = grid->selectionModel()->isRowSelected(index.row(), {});
              grid->selectionModel()->setCurrentIndex(
                  index, selected
                             ? QItemSelectionModel::NoUpdate
                             : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
              updateCommandStates();
              menu->exec(grid->viewport()->mapToGlobal(position));
            });
  }
}

void CMainFrame::createToolbar() {
  m_toolbar = addToolBar(QStringLiteral("Toolbar"));
  m_toolbar->setObjectName(QStringLiteral("toolbar"));
  m_toolbar->setIconSize(QSize(16, 16));
  m_toolbar->setAllowedAreas(Qt::AllToolBarAreas);
  m_toolbar->addAction(m_exit);
  m_toolbar->addSeparator();
  m_toolbar->addAction(commandAction(QStringLiteral("splitSearch")));
  m_toolbar->addAction(m_searchFilter);
  m_toolbar->addAction(m_rescan);
  m_toolbar->addSeparator();
  for (const char* name : {"deleteSymbol", "moveSymbol", "copySymbol", "editSymbol", "dataFacts"})
    m_toolbar->addAction(commandAction(QString::fromLatin1(name)));
  m_toolbar->addSeparator();
  for (const char* name : {"editQuote", "split", "adjust", "addQuote", "deleteQuote", "export"})
    m_toolbar->addAction(commandAction(QString::fromLatin1(name)));
  m_chartSeparator = m_toolbar->addSeparator();
  m_toolbar->addAction(commandAction(QStringLiteral("nextSuspect")));
  m_toolbar->addSeparator();
  m_toolbar->addAction(m_about);

  connect(m_toggleToolbar, &QAction::toggled, m_toolbar, &QToolBar::setVisible);
  connect(m_toolbar, &QToolBar::visibilityChanged, m_toggleToolbar, [this](bool visible) {
    // Follows the toolbar's own close button, but not the hiding of a minimised window.
    if (!isMinimized()) m_toggleToolbar->setChecked(visible);
  });
}

void CMainFrame::createStatusBar() {
  QStatusBar* bar = statusBar();
  // The message pane: the idle text, hidden while a command's prompt or a progress bar shows.
  m_idle = new QLabel(kIdleText, bar);
  m_idle->setObjectName(QStringLiteral("idleMessage"));
  bar->addWidget(m_idle, 1);

  m_symbolPane = new QLabel(bar);
  m_quotePane = new QLabel(bar);
  for (auto [pane, sizing] : {std::pair{m_symbolPane, QStringLiteral("Symbols: xxxxxxxxxxxxxxxx")},
                              std::pair{m_quotePane, QStringLiteral("Quotes: xxxxxxxxxxxxxxxx")}}) {
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(sizing));
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(pane);
  }

  connect(m_toggleStatusBar, &QAction::toggled, bar, &QStatusBar::setVisible);
}

void CMainFrame::showChartCommands(bool shown) {
  m_chartSeparator->setVisible(shown);
  commandAction(QStringLiteral("nextSuspect"))->setVisible(shown);
  commandAction(QStringLiteral("saveChart"))->setVisible(shown);
}

QString CMainFrame::symbolPaneText() const { return m_symbolPane->text(); }

QString CMainFrame::quotePaneText() const { return m_quotePane->text(); }

QString CMainFrame::idleText() const { return m_idle->text(); }

void CMainFrame::refreshStatusPanes() {
  m_symbolPane->setText(formatSymbolPane(m_view->symbolCount(), m_view->currentSymbolRow()));
  m_quotePane->setText(formatQuotePane(m_view->quoteCount(), m_view->currentQuoteRow()));
}

std::vector<CMainFrame::RuledAction> CMainFrame::ruledActions() const { return m_ruled; }

CommandConditions CMainFrame::commandConditions() const {
  CommandConditions c;
  c.portfoliosFound = m_view->portfoliosFound();
  c.splitSearchOpen = m_view->splitSearch()->isOpen();
  c.portfolioEntries = m_view->portfolioList()->count();
  c.symbolRows = m_view->symbolsModel()->rowCount();
  c.quoteRows = m_view->quotesModel()->rowCount();
  c.symbolCount = m_view->symbolCount();
  c.currentQuoteRow = m_view->currentQuoteRow();
  c.chartShown = m_view->chartShown();
  c.chartSuspects = static_cast<int>(m_view->chartView()->suspects().size());
  return c;
}

void CMainFrame::updateCommandStates() {
  const CommandStates states = computeCommandStates(commandConditions());
  for (const RuledAction& ruled : ruledActions()) ruled.action->setEnabled(states.*ruled.flag);
}

void CMainFrame::restorePlacement() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize workArea = screen ? screen->availableGeometry().size() : QSize(800, 600);
  bool useDefault = false;
  const QRect placement = restoredPlacement(
      m_settings.GetInt(setting_keys::kScreenX), m_settings.GetInt(setting_keys::kScreenY),
      m_settings.GetInt(setting_keys::kScreenWidth), m_settings.GetInt(setting_keys::kScreenHeight),
      workArea, &useDefault);
  if (useDefault) {
    m_settings.SetInt(setting_keys::kScreenX, placement.x());
    m_settings.SetInt(setting_keys::kScreenY, placement.y());
    m_settings.SetInt(setting_keys::kScreenWidth, placement.width());
    m_settings.SetInt(setting_keys::kScreenHeight, placement.height());
  }
  resize(placement.size());
  move(placement.topLeft());
  // What the settings hold now (stored, or the default just written).
  m_savedPlacement = placement;
  m_placementRestored = true;
}

void CMainFrame::savePlacement() {
  // Only the frame's own normal or maximised placement is kept, never a minimised one.
  if (!m_placementRestored || isMinimized()) return;
  const QPoint position = clampedSavePosition(pos());
  const QRect placement(position, size());
  // Each value is written when it changed: a drag rewrites x and y, never the size.
  if (placement.x() != m_savedPlacement.x())
    m_settings.SetInt(setting_keys::kScreenX, placement.x());
  if (placement.y() != m_savedPlacement.y())
    m_settings.SetInt(setting_keys::kScreenY, placement.y());
  if (placement.width() != m_savedPlacement.width())
    m_settings.SetInt(setting_keys::kScreenWidth, placement.width());
  if (placement.height() != m_savedPlacement.height())
    m_settings.SetInt(setting_keys::kScreenHeight, placement.height());
  m_savedPlacement = placement;
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  savePlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  savePlacement();
}

namespace {

// The local files a drag carries.
QStringList droppedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (!droppedFiles(event->mimeData()).isEmpty() &&
      computeCommandStates(commandConditions()).importText)
    event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QStringList files = droppedFiles(event->mimeData());
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  // As File > Import..., on the files dropped.
  if (!m_view->prepareCommand(false)) return;
  updateCommandStates();
  if (computeCommandStates(commandConditions()).importText) m_view->importFiles(files);
  m_view->commandDone();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_view->saveColumnWidths();
  QMainWindow::closeEvent(event);
}
