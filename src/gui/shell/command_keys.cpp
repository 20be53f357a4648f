#include "gui/shell/command_keys.h"

#include <QAction>
#include <QShortcut>

#include "gui/browse/dorvane_view.h"
#include "gui/edit/grid_view.h"
#include "gui/shell/main_frame.h"

namespace {

// Runs the command of the action named name when its rule allows it now.
void trigger(CMainFrame& frame, const char* name) {
  QAction* action = frame.commandAction(QString::fromLatin1(name));
  if (!action) return;
  frame.updateCommandStates();
  if (action->isEnabled()) action->trigger();
}

// key, pressed while grid has the focus, runs the command named name.
void addKey(CMainFrame& frame, CGridView* grid, const QKeySequence& key, const char* name) {
  auto* shortcut = new QShortcut(key, grid);
  shortcut->setContext(Qt::WidgetShortcut);
  QObject::connect(shortcut, &QShortcut::activated, &frame,
                   [&frame, name] { trigger(frame, name); });
}

}  // namespace

void addCommandKeys(CMainFrame& frame) {
  frame.commandAction(QStringLiteral("split"))->setShortcut(kSplitShortcut);
  frame.commandAction(QStringLiteral("adjust"))->setShortcut(kAdjustShortcut);

  CGridView* quotes = frame.view()->quotesGrid();
  QObject::connect(quotes, &CGridView::enterPressed, &frame,
                   [&frame] { trigger(frame, "editQuote"); });
  QObject::connect(quotes, &CGridView::doubleClicked, &frame, [&frame](const QModelIndex& index) {
    if (index.isValid()) trigger(frame, "editQuote");
  });
  addKey(frame, quotes, QKeySequence(Qt::Key_Insert), "addQuote");
  addKey(frame, quotes, QKeySequence(Qt::Key_Delete), "deleteQuote");

  CGridView* symbols = frame.view()->symbolsGrid();
  addKey(frame, symbols, QKeySequence(Qt::Key_Delete), "deleteSymbol");
  addKey(frame, symbols, QKeySequence(Qt::Key_F2), "editSymbol");
}
