// Browsing between roots and portfolios: portfolio change, the level clears, ReScan, a root
// without portfolios, the Search Filter command, and the enable rules of the commands.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "browser_fixture.h"
#include "gui/browse/search_filter_dlg.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/command_rules.h"

namespace gui_test {
namespace {

class BrowseFlowTest : public BrowserFixture {
 protected:
  void SetUp() override {
    make_portfolio(root() / "data", {{1, "ONE", "ONE CO", daily_bars(2), 28, false}});
    make_portfolio(root() / "data" / "ms",
                   {{1, "TWO", "TWO CO", daily_bars(3), 28, false},
                    {2, "ANOTHER", "ANOTHER CO", daily_bars(4), 28, false}});
    make_portfolio(root() / "other", {{1, "THREE", "THREE CO", daily_bars(5), 28, false}});
  }
};

TEST_F(BrowseFlowTest, PickingAPortfolioLoadsItsSymbolsAndFirstQuotes) {
  startUp();
  ASSERT_EQ(portfolioEntries(), QStringList({path("data"), path("data/ms"), path("other")}));
  view()->portfolioList()->setCurrentRow(1);
  EXPECT_EQ(view()->masterPath(), path("data/ms") + "/MASTER");
  EXPECT_EQ(view()->symbolCount(), 2);
  EXPECT_EQ(view()->symbolsModel()->text(0, 0), "ANOTHER");
  EXPECT_EQ(view()->currentSymbol(), "ANOTHER");
  EXPECT_EQ(view()->quoteCount(), 4);
  EXPECT_EQ(frame->windowTitle(), "Dorvane - " + path("data/ms") + " - ANOTHER");
}

TEST_F(BrowseFlowTest, ClearsCascadeFromTheirLevel) {
  startUp();
  view()->ClearFrom(4);
  EXPECT_EQ(view()->quotesModel()->rowCount(), 0);
  EXPECT_EQ(view()->quoteCount(), 0);
  EXPECT_EQ(view()->symbolCount(), 1);
  EXPECT_EQ(view()->symbolsModel()->rowCount(), 1);

  view()->ClearFrom(3);
  EXPECT_EQ(view()->symbolsModel()->rowCount(), 0);
  EXPECT_EQ(view()->symbolCount(), 0);
  EXPECT_EQ(view()->portfolioList()->count(), 3);
  EXPECT_TRUE(view()->portfoliosFound());

  view()->ClearFrom(2);
  EXPECT_EQ(view()->portfolioList()->count(), 0);
  EXPECT_TRUE(view()->portfoliosFound());

  view()->ClearFrom(1);
  EXPECT_FALSE(view()->portfoliosFound());
  // The MASTER path and the portfolio directory stay.
  EXPECT_EQ(view()->masterPath(), path("data") + "/MASTER");
  EXPECT_EQ(frame->symbolPaneText(), "No Symbols Read");
  EXPECT_EQ(frame->quotePaneText(), "No Quotes Read");
}

TEST_F(BrowseFlowTest, AMasterPathIsAcceptedOnlyWhenItEndsInMasterAndIsNotTooLong) {
  startUp();
  const QString current = view()->masterPath();
  EXPECT_FALSE(view()->SetMasterPath(path("other") + "/master"));
  EXPECT_FALSE(view()->SetMasterPath("/" + QString(4090, 'a') + "/MASTER"));
  EXPECT_EQ(view()->masterPath(), current);
  // Refused paths leave the previous MASTER in force: listing again lists it.
  view()->FillSymbolsGrid(0);
  EXPECT_EQ(view()->currentSymbol(), "ONE");

  EXPECT_TRUE(view()->SetMasterPath(path("other") + "/MASTER"));
  EXPECT_EQ(view()->portfolioDir(), path("other"));
  EXPECT_TRUE(view()->SetMasterPath("/MASTER"));
  EXPECT_EQ(view()->portfolioDir(), "/");
}

// The portfolio and symbol shown come back after the rescan when it finds them again, else the
// first portfolio loads.
TEST_F(BrowseFlowTest, RescanRebuildsEverythingAndKeepsThePortfolioShown) {
  startUp();
  view()->portfolioList()->setCurrentRow(1);
  view()->symbolsGrid()->selectRow(1);
  view()->FillQuotesGrid(0);
  ASSERT_EQ(view()->currentSymbol(), "TWO");
  make_portfolio(root() / "new", {{1, "NEW", "NEW CO", daily_bars(3), 28, false}});
  frame->rescanAction()->trigger();
  EXPECT_EQ(portfolioEntries(),
            QStringList({path("data"), path("data/ms"), path("new"), path("other")}));
  EXPECT_EQ(view()->portfolioList()->currentRow(), 1);
  EXPECT_EQ(view()->currentSymbol(), "TWO");
  EXPECT_EQ(view()->currentSymbolRow(), 1);
  std::filesystem::remove_all(root() / "data" / "ms");
  frame->rescanAction()->trigger();
  EXPECT_EQ(view()->portfolioList()->currentRow(), 0);
  EXPECT_EQ(view()->currentSymbol(), "ONE");
  EXPECT_EQ(frame->rescanAction()->shortcut(), QKeySequence(Qt::Key_F5));
}

TEST_F(BrowseFlowTest, ChoosingTheCurrentRootAgainDoesNothingAndAnotherRootIsScanned) {
  const std::string rootPath = root().string();
  const std::string otherRoot = (root() / "other").string();
  createFrame();
  view()->setRootsProvider([=] { return std::vector<std::string>{rootPath, otherRoot}; });
  startUp();
  const int beeps = prompter.beeps;
  QComboBox* drives = view()->driveList();
  drives->setCurrentIndex(drives->findText(rootText()));
  EXPECT_EQ(prompter.beeps, beeps);  // no scan

  drives->setCurrentIndex(drives->findText(path("other")));
  EXPECT_EQ(view()->drive(), path("other"));
  EXPECT_EQ(settings().GetString("Settings", "Drive", ""), path("other"));
  EXPECT_EQ(portfolioEntries(), QStringList({path("other")}));
  EXPECT_EQ(view()->currentSymbol(), "THREE");
}

TEST_F(BrowseFlowTest, ARootWithoutPortfoliosSaysSoAndDisablesEverything) {
  testing_support::TempDir empty;
  const std::string emptyPath = empty.path().string();
  createFrame();
  view()->setRootsProvider([=] { return std::vector<std::string>{emptyPath}; });
  settings().SetString("Settings", "Drive", QString::fromStdString(emptyPath));
  prompter.expectMessage();
  startUp();
  EXPECT_EQ(prompter.messageTexts(),
            QStringList({"No master files found on drive " + QString::fromStdString(emptyPath) +
                         "\n\n(Is your Portfolio Search Filter setting correct?)"}));
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
  EXPECT_FALSE(view()->portfoliosFound());
  EXPECT_EQ(view()->portfolioList()->count(), 0);
  EXPECT_TRUE(frame->searchFilterAction()->isEnabled());
  EXPECT_TRUE(frame->rescanAction()->isEnabled());
}

TEST_F(BrowseFlowTest, TheFilterLimitsTheScanToPathsRelatedToItsDirectory) {
  settings().SetInt("Search", "Limit", 1);
  settings().SetString("Search", "Name", path("data/ms").toLower());
  startUp();
  // "other" lies beside the filter path; "data" is on the way down to it.
  EXPECT_EQ(portfolioEntries(), QStringList({path("data"), path("data/ms")}));
}

TEST_F(BrowseFlowTest, SearchFilterCommandStoresTheChoicesAndRescansOnlyWhenNeeded) {
  startUp();
  auto answer = [this](int limit, const QString& filter, int autoRepair) {
    prompter.expectDialog([=](QDialog& dialog) {
      auto* filterDlg = qobject_cast<CSearchFilterDlg*>(&dialog);
      EXPECT_NE(filterDlg, nullptr);
      if (!filterDlg) return int(QDialog::Rejected);
      filterDlg->setLimit(limit);
      filterDlg->setFilterPath(filter);
      filterDlg->setAutoRepair(autoRepair);
      return int(QDialog::Accepted);
    });
  };

  // Limit on with a path under the root: stored, and the root holding it scanned.
  answer(1, path("other"), 0);
  int beeps = prompter.beeps;
  frame->searchFilterAction()->trigger();
  EXPECT_EQ(prompter.dialogs.back().title, "Portfolio Search Filter");
  EXPECT_EQ(settings().GetInt("Search", "Limit", -1), 1);
  EXPECT_EQ(settings().GetString("Search", "Name", ""), path("other"));
  EXPECT_EQ(settings().GetInt("Search", "MasterFix", -1), 0);
  EXPECT_EQ(prompter.beeps, beeps + 1);
  EXPECT_EQ(portfolioEntries(), QStringList({path("other")}));

  // The same path in other case: no new scan.
  answer(1, path("other").toUpper(), 0);
  beeps = prompter.beeps;
  frame->searchFilterAction()->trigger();
  EXPECT_EQ(prompter.beeps, beeps);
  EXPECT_EQ(view()->filterPath(), path("other").toUpper());

  // Only the automatic repair changed: stored, no scan.
  answer(1, path("other").toUpper(), 1);
  frame->searchFilterAction()->trigger();
  EXPECT_EQ(prompter.beeps, beeps);
  EXPECT_TRUE(view()->autoRepair());
  EXPECT_EQ(settings().GetInt("Search", "MasterFix", -1), 1);

  // Limit switched off: everything under the root again.
  answer(0, path("other"), 1);
  frame->searchFilterAction()->trigger();
  EXPECT_EQ(prompter.beeps, beeps + 1);
  EXPECT_EQ(portfolioEntries().size(), 3);

  // Cancel changes nothing.
  prompter.expectDialog(QDialog::Rejected);
  frame->searchFilterAction()->trigger();
  EXPECT_FALSE(view()->limitToFilter());
  EXPECT_EQ(prompter.beeps, beeps + 1);
}

// Every command action takes its enabled state from its flag, whatever the view's state, and
// every action of the Portfolio, Symbol and Quotes menus has a rule.
TEST_F(BrowseFlowTest, EveryCommandActionFollowsItsRule) {
  createFrame();
  QList<QAction*> ruled;
  auto check = [&](const char* when) {
    const CommandStates states = computeCommandStates(frame->commandConditions());
    for (const CMainFrame::RuledAction& each : frame->ruledActions()) {
      EXPECT_EQ(each.action->isEnabled(), states.*each.flag)
          << when << ": " << each.action->text().toStdString();
      ruled << each.action;
    }
  };
  check("before the start-up");
  startUp();
  check("with a portfolio loaded");
  frame->rescanAction()->setEnabled(false);
  view()->ClearFrom(1);
  check("after a clear");
  for (QAction* menu : frame->menuBar()->actions()) {
    // The framework's own commands (Exit, the bars, help) have no rule.
    if (QStringList({"&File", "&View", "&Help"}).contains(menu->text())) continue;
    for (QAction* item : menu->menu()->actions())
      EXPECT_TRUE(item->isSeparator() || ruled.contains(item)) << item->text().toStdString();
  }
}

}  // namespace
}  // namespace gui_test
