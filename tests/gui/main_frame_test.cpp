// The main window: menus and toolbar, status panes, remembered placement, and the column
// width rules the view applies at start-up.
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "browser_fixture.h"
#include "gui/edit/grid_columns.h"
#include "gui/shell/dorvane_app.h"
#include "gui/shell/start_arguments.h"
#include "gui/shell/status_panes.h"

namespace gui_test {
namespace {

class MainFrameTest : public BrowserFixture {};

// One line per menu and item: the text (with its key), the status-bar prompt and the tooltip;
// "-" for a separator.
QStringList menuLines(QMenuBar* bar) {
  QStringList lines;
  for (QAction* menu : bar->actions()) {
    lines << menu->text();
    for (QAction* item : menu->menu()->actions()) {
      if (item->isSeparator()) {
        lines << "  -";
        continue;
      }
      const QString key =
          item->shortcut().isEmpty() ? QString() : "\t" + item->shortcut().toString();
      lines << "  " + item->text() + key + " | " + item->statusTip() + " | " + item->toolTip();
    }
  }
  return lines;
}

TEST_F(MainFrameTest, MenusAndToolbarListEveryCommandInOrderWithItsPromptAndTooltip) {
  createFrame();
  const QStringList expected = {
      "&File",
      "  &New Portfolio... | Create an empty portfolio in a directory | New portfolio",
      "  &Import... | Import prices from delimited text files | Import",
      "  -",
      "  Save C&hart As... | Save the chart as a PNG picture | Save chart",
      "  Recent &Portfolios | Open one of the portfolios opened last | Recent portfolios",
      "  -",
      "  E&xit | Quit the application | Exit",
      "&View",
      "  &Toolbar | Show or hide the toolbar | Toggle ToolBar",
      "  &Status Bar | Show or hide the status bar | Toggle StatusBar",
      "  &Chart | Show or hide the price chart of the quotes | Toggle Chart",
      "  &Next Suspect\tF3 | Select the next day that looks wrong | Next suspect",
      "&Portfolio",
      "  &Split Search... | Search this portfolio for possible splits | Split search",
      "  Export &All... | Export the quotes of every symbol of this portfolio | Export all",
      "  &Verify... | Check every quote of this portfolio | Verify",
      "  Verify &Tree... | Check every quote of every portfolio below the root | Verify tree",
      "  Search &Filter... | Filter | Filter",
      "  &ReScan\tF5 | ReScan drive(s) for portfolios | ReScan",
      "&Symbol",
      "  &Delete | Delete Symbol | Delete Symbol",
      "  &Move... | Move | Move",
      "  &Copy... | Copy | Copy",
      "  -",
      "  &Edit... | Edit the symbol and name | Edit Symbol",
      "  &About... | Facts about the selected quote series | Data facts",
      "&Quotes",
      "  &Edit... | Edit the selected day's data | Edit data",
      "  &Split...\tCtrl+Shift+S | Enter a split | Enter split",
      "  Adju&st...\tCtrl+Shift+A | Scale the volume or price | Scale values",
      "  -",
      "  &Add... | Add a single quote | Add quote",
      "  &Delete... | Delete a single quote | Delete quote",
      "  -",
      "  E&xport... | Export quotes | Export",
      "  -",
      "  &Go to Date...\tCtrl+G | Select the quote of a date, or the nearest earlier one | Go to "
      "date",
      "&Help",
      "  &Help Topics\tF1 | List Help topics | Help Topics",
      "  -",
      "  &About Dorvane... | Display program information, version number and copyright | About",
  };
  const QStringList actual = menuLines(frame->menuBar());
  EXPECT_EQ(actual.join("\n").toStdString(), expected.join("\n").toStdString());

  // The toolbar's buttons by tooltip (the chart's shown only with the chart); each button is
  // the menu item's own action.
  QStringList buttons;
  for (QAction* action : frame->toolbar()->actions()) {
    buttons << (action->isSeparator() ? QStringLiteral("-") : action->toolTip());
    if (!action->isSeparator()) {
      EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
    }
  }
  EXPECT_EQ(buttons, QStringList({"Exit",
                                  "-",
                                  "Split search",
                                  "Filter",
                                  "ReScan",
                                  "-",
                                  "Delete Symbol",
                                  "Move",
                                  "Copy",
                                  "Edit Symbol",
                                  "Data facts",
                                  "-",
                                  "Edit data",
                                  "Enter split",
                                  "Scale values",
                                  "Add quote",
                                  "Delete quote",
                                  "Export",
                                  "-",
                                  "Next suspect",
                                  "-",
                                  "About"}));
  EXPECT_EQ(frame->idleText(), "For Help, press F1");
}

TEST_F(MainFrameTest, ToolbarAndStatusBarCommandsShowAndHideTheirBars) {
  prompter.expectMessage();  // the tree holds no portfolio
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
  prompter.expectMessage();  // the tree holds no portfolio
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

// The application sets no display name, which Qt would append to every title on X11 (it
// then follows the application name), and its icon is a scalable picture from the resources.
TEST(ApplicationTest, TitlesStayExactAndTheIconScales) {
  CDorvaneApp::configureApplication(*qApp);
  QCoreApplication::setApplicationName("Probe");
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "Probe");
  QCoreApplication::setApplicationName("Dorvane");
  for (int size : {16, 256}) EXPECT_EQ(CDorvaneApp::applicationIcon().pixmap(size).width(), size);
  EXPECT_FALSE(QGuiApplication::windowIcon().isNull());
}

TEST(StartArgumentsTest, ADirectoryRunsAndEverythingElseIsRefusedWithAReason) {
  testing_support::TempDir dir;
  const QString path = QString::fromStdString(dir.path().string());
  const QString file = path + "/MASTER";
  QFile(file).open(QIODevice::WriteOnly);
  using A = StartArguments::Action;
  const struct {
    QStringList arguments;
    A action;
    QString error;
  } cases[] = {
      {{}, A::Run, ""},
      {{path + "/./"}, A::Run, ""},
      {{"--screenshot", "shot.png", path}, A::Run, ""},
      {{file}, A::Refuse, "dorvane: " + file + " is not a directory"},
      {{path + "/missing"}, A::Refuse, "dorvane: " + path + "/missing does not exist"},
      {{path, path}, A::Refuse, "dorvane: only one directory may be given"},
      {{"--bogus"}, A::Refuse, "dorvane: unknown option --bogus"},
      {{"--help", "--bogus"}, A::ShowHelp, ""},
  };
  for (const auto& c : cases) {
    const StartArguments start = parseStartArguments(c.arguments);
    EXPECT_EQ(start.action, c.action) << c.arguments.join(' ').toStdString();
    EXPECT_EQ(start.error, c.error);
    if (start.action == A::Run && !c.arguments.isEmpty()) {
      EXPECT_EQ(start.root, path);
    }
  }
  EXPECT_EQ(parseStartArguments({"--screenshot", "shot.png"}).screenshot, "shot.png");
}

TEST(StatusPanesTest, CountersNameTheCurrentRowOrSayNothingWasRead) {
  EXPECT_EQ(formatSymbolPane(0, 0), "No Symbols Read");
  EXPECT_EQ(formatSymbolPane(12, 4), "Symbol 5 of 12");
  EXPECT_EQ(formatQuotePane(0, 1), "No Quotes Read");
  // Row 0 holds the newest quote: quote m of m.
  EXPECT_EQ(formatQuotePane(250, 0), "Quote 250 of 250");
  EXPECT_EQ(formatQuotePane(250, 249), "Quote 1 of 250");
}

TEST(GridColumnsTest, StoredWidthsAreKeptOnlyWhileTheyFitTheGrid) {
  using Symbols = std::array<int, kSymbolColumns>;
  // 100 + 120 exceeds a 200-pixel grid: both become 9/20 of it.
  EXPECT_EQ(fitSymbolWidths(Symbols{100, 120}, 200), (Symbols{90, 90}));
  EXPECT_EQ(fitSymbolWidths(Symbols{80, 120}, 200), (Symbols{80, 120}));

  using Quotes = std::array<int, kQuoteColumns>;
  EXPECT_EQ(fitQuoteWidths(Quotes{50, 50, 50, 50, 50, 50, 50}, 700),
            (Quotes{50, 50, 50, 50, 50, 50, 50}));
  EXPECT_EQ(fitQuoteWidths(Quotes{101, 100, 100, 100, 100, 100, 100}, 700),
            (Quotes{90, 90, 90, 90, 90, 90, 90}));
  // A negative width from a damaged setting never reaches the grid.
  EXPECT_EQ(fitSymbolWidths(Symbols{-5, 50}, 200), (Symbols{90, 90}));
}

}  // namespace
}  // namespace gui_test
