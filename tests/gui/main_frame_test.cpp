// The main window: menus and toolbar, status panes, remembered placement, and the column
// width rules the view applies at start-up.
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "browser_fixture.h"
#include "gui/browse/grid_columns.h"
#include "gui/shell/status_panes.h"

namespace gui_test {
namespace {

class MainFrameTest : public BrowserFixture {};

QStringList menuTexts(QMenuBar* bar) {
  QStringList texts;
  for (QAction* menu : bar->actions()) {
    texts << menu->text();
    for (QAction* item : menu->menu()->actions())
      texts << "  " + item->text() +
                   (item->shortcut().isEmpty() ? QString() : "\t" + item->shortcut().toString());
  }
  return texts;
}

TEST_F(MainFrameTest, MenusListTheWorkingCommandsWithTheirTextsAndKeys) {
  createFrame();
  EXPECT_EQ(menuTexts(frame->menuBar()),
            QStringList({"&File", "  E&xit", "&View", "  &Toolbar", "  &Status Bar", "&Portfolio",
                         "  Search &Filter...", "  &ReScan\tF5", "&Help", "  &Help Topics\tF1"}));
  EXPECT_EQ(frame->searchFilterAction()->statusTip(), "Filter");
  EXPECT_EQ(frame->searchFilterAction()->toolTip(), "Filter");
  EXPECT_EQ(frame->rescanAction()->statusTip(), "ReScan drive(s) for portfolios");
  EXPECT_EQ(frame->rescanAction()->toolTip(), "ReScan");
  for (QAction* action : frame->toolbar()->actions()) {
    if (!action->isSeparator()) {
      EXPECT_FALSE(action->icon().isNull()) << action->text().toStdString();
    }
  }
  EXPECT_EQ(frame->idleText(), "For Help, press F1");
}

TEST_F(MainFrameTest, ToolbarAndStatusBarCommandsShowAndHideTheirBars) {
  startUp();
  const std::pair<QAction*, QWidget*> bars[] = {{frame->toolbarAction(), frame->toolbar()},
                                                {frame->statusBarAction(), frame->statusBar()}};
  for (const auto& [action, bar] : bars) {
    action->trigger();
    EXPECT_FALSE(bar->isVisible());
    action->trigger();
    EXPECT_TRUE(bar->isVisible());
  }
}

TEST_F(MainFrameTest, MovesAreRememberedRaisedToZeroButNotWhileMinimised) {
  settings().SetInt("Screen", "x", 10);
  settings().SetInt("Screen", "y", 20);
  settings().SetInt("Screen", "cx", 600);
  settings().SetInt("Screen", "cy", 450);
  startUp();
  EXPECT_EQ(frame->size(), QSize(600, 450));
  EXPECT_EQ(frame->pos(), QPoint(10, 20));

  frame->move(-30, 40);
  QTest::qWait(20);
  EXPECT_EQ(settings().GetInt("Screen", "x", -1), 0);
  EXPECT_EQ(settings().GetInt("Screen", "y", -1), 40);
  frame->resize(620, 460);
  QTest::qWait(20);
  EXPECT_EQ(settings().GetInt("Screen", "cx", -1), 620);
  EXPECT_EQ(settings().GetInt("Screen", "cy", -1), 460);

  frame->showMinimized();
  frame->move(50, 60);
  QTest::qWait(20);
  if (frame->isMinimized()) {
    EXPECT_EQ(settings().GetInt("Screen", "x", -1), 0);
    EXPECT_EQ(settings().GetInt("Screen", "y", -1), 40);
  }
}

TEST(StatusPanesTest, CountersNameTheCurrentRowOrSayNothingWasRead) {
  EXPECT_EQ(symbol_pane_text(0, 0), "No Symbols Read");
  EXPECT_EQ(symbol_pane_text(12, 4), "Symbol 5 of 12");
  EXPECT_EQ(quote_pane_text(0, 1), "No Quotes Read");
  // Row 0 holds the newest quote: quote m of m.
  EXPECT_EQ(quote_pane_text(250, 0), "Quote 250 of 250");
  EXPECT_EQ(quote_pane_text(250, 249), "Quote 1 of 250");
}

TEST(GridColumnsTest, StoredWidthsAreKeptOnlyWhileTheyFitTheGrid) {
  using Symbols = std::array<int, kSymbolColumns>;
  // 100 + 120 exceeds a 200-pixel grid: both become 9/20 of it.
  EXPECT_EQ(fit_symbol_widths(Symbols{100, 120}, 200), (Symbols{90, 90}));
  EXPECT_EQ(fit_symbol_widths(Symbols{80, 120}, 200), (Symbols{80, 120}));

  using Quotes = std::array<int, kQuoteColumns>;
  EXPECT_EQ(fit_quote_widths(Quotes{50, 50, 50, 50, 50, 50, 50}, 700),
            (Quotes{50, 50, 50, 50, 50, 50, 50}));
  EXPECT_EQ(fit_quote_widths(Quotes{101, 100, 100, 100, 100, 100, 100}, 700),
            (Quotes{90, 90, 90, 90, 90, 90, 90}));
  // A negative width from a damaged setting never reaches the grid.
  EXPECT_EQ(fit_symbol_widths(Symbols{-5, 50}, 200), (Symbols{90, 90}));
}

}  // namespace
}  // namespace gui_test
