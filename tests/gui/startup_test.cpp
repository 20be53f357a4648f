// Start-up of the main window on a temporary tree: placement, the scan after the first paint,
// the first portfolio, symbol and quotes loaded, and the settings it remembers.
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

#include "browser_fixture.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "support/real_data.h"

namespace gui_test {
namespace {

class StartUpTest : public BrowserFixture {
 protected:
  void SetUp() override {
    make_portfolio(root() / "A", {{3, "ZETA", "ZETA CORP", daily_bars(5), 28, false},
                                  {1, "ALPHA", "ALPHA INC", daily_bars(4), 28, false},
                                  {2, "MID", "MIDDLE LTD", daily_bars(2), 28, false}});
    make_portfolio(root() / "A" / "B", {{1, "BEE", "BEE CO", daily_bars(3), 28, false}});
    make_portfolio(root() / "Z", {{1, "ZED", "ZED CO", daily_bars(3), 28, false}});
  }
};

TEST_F(StartUpTest, ScansAfterTheWindowIsShownAndLoadsTheFirstPortfolio) {
  createFrame();
  // Nothing is scanned while the window has never been painted.
  QTest::qWait(250);
  EXPECT_FALSE(view()->startUpDone());
  EXPECT_EQ(view()->portfolioList()->count(), 0);

  startUp();
  EXPECT_EQ(portfolioEntries(), QStringList({path("A"), path("A/B"), path("Z")}));
  EXPECT_TRUE(view()->portfoliosFound());
  EXPECT_EQ(view()->portfolioList()->currentRow(), 0);
  EXPECT_EQ(view()->masterPath(), path("A") + "/MASTER");

  // Symbols sorted by their column 0 text; the first selected and its quotes loaded.
  CSymbolsGridModel* symbols = view()->symbolsModel();
  ASSERT_EQ(symbols->rowCount(), 3);
  EXPECT_EQ(QStringList({symbols->text(0, 0), symbols->text(1, 0), symbols->text(2, 0)}),
            QStringList({"ALPHA", "MID", "ZETA"}));
  EXPECT_EQ(symbols->text(0, 1), "ALPHA INC       ");
  EXPECT_EQ(view()->symbolsGrid()->selectedRow(), 0);
  EXPECT_EQ(view()->currentSymbol(), "ALPHA");
  EXPECT_EQ(view()->symbolCount(), 3);
  EXPECT_EQ(view()->quoteCount(), 4);
  EXPECT_EQ(view()->quotesModel()->rowCount(), 4);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), 0);
  EXPECT_EQ(view()->quotesModel()->text(0, 0), "01/06/00");  // newest first
  EXPECT_EQ(view()->firstDateText(), "01/03/00");
  EXPECT_EQ(view()->lastDateText(), "01/06/00");
  EXPECT_EQ(frame->windowTitle(), "Dorvane - " + path("A") + " - ALPHA");
  EXPECT_EQ(frame->symbolPaneText(), "Symbol 1 of 3");
  EXPECT_EQ(frame->quotePaneText(), "Quote 4 of 4");
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();
  // The scan ends with the information beep.
  EXPECT_EQ(prompter.beeps, 1);
}

TEST_F(StartUpTest, FirstRunTakesNinetyFivePercentOfTheWorkAreaAndRemembersIt) {
  createFrame();
  const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
  const int cx = static_cast<int>(area.width() * 0.95f);
  const int cy = static_cast<int>(area.height() * 0.95f);
  EXPECT_EQ(frame->size(), QSize(cx, cy));
  EXPECT_EQ(settings().GetInt("Screen", "cx", 0), cx);
  EXPECT_EQ(settings().GetInt("Screen", "cy", 0), cy);
  EXPECT_EQ(settings().GetInt("Screen", "x", -1), (area.width() - cx) / 2);
  EXPECT_EQ(settings().GetInt("Screen", "y", -1), (area.height() - cy) / 2);
}

TEST_F(StartUpTest, WithoutARememberedRootTheOneHoldingTheCurrentDirectoryIsScanned) {
  createFrame();
  const std::string other = (root() / "A").string();
  const std::string rootPath = root().string();
  view()->setRootsProvider([=] { return std::vector<std::string>{"/", rootPath, other}; });
  settings().SetString("Settings", "Drive", "");
  const QString previous = QDir::currentPath();
  QDir::setCurrent(path("A/B"));
  startUp();
  QDir::setCurrent(previous);
  // The longest listed root that holds the current directory.
  EXPECT_EQ(view()->drive(), path("A"));
  EXPECT_EQ(view()->driveList()->currentText(), path("A"));
  EXPECT_EQ(settings().GetString("Settings", "Drive", ""), path("A"));
  EXPECT_EQ(portfolioEntries(), QStringList({path("A"), path("A/B")}));
}

TEST_F(StartUpTest, AStartRootJoinsTheListForThisRunWithoutBeingRemembered) {
  createFrame();
  view()->setRootsProvider([] { return std::vector<std::string>{"/"}; });
  settings().SetString("Settings", "Drive", "/");
  view()->setStartRoot(path("Z") + "/");
  startUp();
  EXPECT_EQ(view()->drive(), path("Z"));
  EXPECT_EQ(view()->driveList()->count(), 2);
  EXPECT_EQ(portfolioEntries(), QStringList({path("Z")}));
  EXPECT_EQ(settings().GetString("Settings", "Drive", ""), "/");
}

TEST_F(StartUpTest, StoredColumnWidthsAreUsedOnlyWhileTheyFitAndTheLastColumnFills) {
  settings().SetInt("SymbolGrid", "col0", 40);
  settings().SetInt("SymbolGrid", "col1", 30);
  for (int i = 0; i < 7; ++i)
    settings().SetInt("QuoteGrid", QString("col%1").arg(i), i == 3 ? 0 : 20);
  startUp();
  QHeaderView* symbolHeader = view()->symbolsGrid()->horizontalHeader();
  EXPECT_EQ(symbolHeader->sectionSize(0), 40);
  EXPECT_EQ(symbolHeader->sectionSize(1), view()->symbolsGrid()->clientWidth() - 40);
  // One stored quote column of 0 resets all seven to 9/70 of the grid's width.
  const int expected = view()->quotesGrid()->clientWidth() * 9 / 70;
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(view()->quotesGrid()->horizontalHeader()->sectionSize(i), expected);

  // Closing the window stores the widths in use; the filling last column no wider than its
  // default, so a slightly narrower window still takes them.
  symbolHeader->resizeSection(0, 55);
  frame->close();
  EXPECT_EQ(settings().GetInt("SymbolGrid", "col0", 0), 55);
  EXPECT_EQ(settings().GetInt("SymbolGrid", "col1", 0),
            view()->symbolsGrid()->clientWidth() * 9 / 20);
  EXPECT_EQ(settings().GetInt("QuoteGrid", "col6", 0), expected);
}

TEST_F(StartUpTest, AStartRootIsNotHiddenByAFilterBesideIt) {
  settings().SetInt("Search", "Limit", 1);
  settings().SetString("Search", "Name", "/no/such/place");
  createFrame();
  view()->setStartRoot(path("A"));
  startUp();
  EXPECT_EQ(portfolioEntries(), QStringList({path("A"), path("A/B")}));
  EXPECT_TRUE(view()->limitToFilter());
}

// A directory name outside ASCII goes from the walk to the list, the MASTER path and the
// quotes reader and back unchanged.
TEST_F(BrowserFixture, APortfolioInANonAsciiDirectoryLoads) {
  make_portfolio(root() / "B\u00f6rse \u6771\u4eac",
                 {{1, "SONY", "SONY CORP", daily_bars(4), 28, false}});
  startUp();
  const QString dir = rootText() + QString::fromUtf8("/B\u00f6rse \u6771\u4eac");
  EXPECT_EQ(portfolioEntries(), QStringList({dir}));
  EXPECT_EQ(view()->masterPath(), dir + "/MASTER");
  EXPECT_EQ(view()->quoteCount(), 4);
}

TEST_F(BrowserFixture, TheRealFuturesPortfolioListsAndReadsWithoutComplaint) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  testing_support::copy_tree(testing_support::real_portfolio("hangseng-mini"), root() / "hs");
  startUp();
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();
  EXPECT_TRUE(prompter.dialogs.empty());
  // Its lower-case "master" makes the directory a portfolio.
  EXPECT_EQ(portfolioEntries(), QStringList({path("hs")}));
  // The MASTER's 255 and the XMASTER's 11, with no warning about the MASTER's limit.
  EXPECT_EQ(view()->symbolCount(), 266);
  EXPECT_GT(view()->quoteCount(), 0);
  // The name column's tip is the long name of the EMASTER or XMASTER.
  const auto* model = view()->symbolsModel();
  int tips = 0;
  for (int row = 0; row < model->rowCount(); ++row) {
    if (model->text(row, 0) != QStringLiteral("HSM__2022M") &&
        model->text(row, 0) != QStringLiteral("HSM__2000V"))
      continue;
    ++tips;
    EXPECT_EQ(model->data(model->index(row, 1), Qt::ToolTipRole).toString(),
              model->text(row, 0) == QStringLiteral("HSM__2000V")
                  ? QStringLiteral("Hang Seng Mini 200010")
                  : QStringLiteral("Hang Seng Mini 202206"));
  }
  EXPECT_EQ(tips, 2);
  // Every symbol loads whole, its dates running from the newest down.
  for (int symbol = 0; symbol < view()->symbolsModel()->rowCount(); ++symbol) {
    view()->symbolsGrid()->selectRow(symbol);
    view()->FillQuotesGrid(0);
    ASSERT_GT(view()->quoteCount(), 0) << view()->currentSymbol().toStdString();
    for (int row = 1; row < view()->quotesModel()->rowCount(); ++row)
      ASSERT_LE(view()->quotesModel()->bar(row).date, view()->quotesModel()->bar(row - 1).date);
  }
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();
}

}  // namespace
}  // namespace gui_test
