// Browsing between roots and portfolios: portfolio change, the level clears, ReScan, a root
// without portfolios, the Search Filter command, and the enable rules of the commands.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

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
    make_portfolio(root() / "data", {{1, "ONE", "ONE CO", 2}});
    make_portfolio(root() / "data" / "ms",
                   {{1, "TWO", "TWO CO", 3}, {2, "ANOTHER", "ANOTHER CO", 4}});
    make_portfolio(root() / "other", {{1, "THREE", "THREE CO", 5}});
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

TEST_F(BrowseFlowTest, RescanRebuildsEverythingAndLoadsTheFirstPortfolioAgain) {
  startUp();
  view()->portfolioList()->setCurrentRow(2);
  make_portfolio(root() / "new", {{1, "NEW", "NEW CO"}});
  frame->rescanAction()->trigger();
  EXPECT_EQ(portfolioEntries(),
            QStringList({path("data"), path("data/ms"), path("new"), path("other")}));
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
  startUp();
  EXPECT_EQ(prompter.messageTexts(),
            QStringList({"No master files found on drive " + QString::fromStdString(emptyPath) +
                         "\n\n(Is your Portfolio Search Filter setting correct?)"}));
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
  EXPECT_FALSE(view()->portfoliosFound());
  EXPECT_EQ(view()->portfolioList()->count(), 0);
  const CommandStates states = compute_command_states(view()->commandConditions());
  EXPECT_FALSE(states.quote_edit || states.symbol_delete || states.split_search);
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
    prompter.onExec = [=](QDialog& dialog) {
      auto* filterDlg = qobject_cast<CSearchFilterDlg*>(&dialog);
      EXPECT_NE(filterDlg, nullptr);
      if (!filterDlg) return int(QDialog::Rejected);
      filterDlg->setLimit(limit);
      filterDlg->setFilterPath(filter);
      filterDlg->setAutoRepair(autoRepair);
      return int(QDialog::Accepted);
    };
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
  prompter.onExec = [](QDialog&) { return int(QDialog::Rejected); };
  frame->searchFilterAction()->trigger();
  EXPECT_FALSE(view()->limitToFilter());
  EXPECT_EQ(prompter.beeps, beeps + 1);
}

TEST(CommandRulesTest, EachCommandFollowsItsCondition) {
  CommandConditions c;
  c.portfolios_found = true;
  c.portfolio_entries = 1;
  c.symbol_rows = 3;
  c.symbol_count = 3;
  c.quote_rows = 10;
  c.current_quote_row = 0;
  CommandStates s = compute_command_states(c);
  EXPECT_TRUE(s.quote_edit && s.quote_split && s.quote_adjust && s.quote_delete && s.quote_add);
  EXPECT_TRUE(s.quote_export && s.symbol_facts && s.symbol_delete && s.symbol_edit &&
              s.split_search);
  // With one portfolio listed, Move and Copy stay off although the symbols grid has rows.
  EXPECT_FALSE(s.symbol_move || s.symbol_copy);
  c.portfolio_entries = 2;
  s = compute_command_states(c);
  EXPECT_TRUE(s.symbol_move && s.symbol_copy);

  // Add is off while the oldest quote (the last row) is current.
  c.current_quote_row = 9;
  EXPECT_FALSE(compute_command_states(c).quote_add);

  // While the split search window is open, Split Search and Symbol Edit are off.
  c.split_search_open = true;
  s = compute_command_states(c);
  EXPECT_FALSE(s.split_search || s.symbol_edit);
  EXPECT_TRUE(s.symbol_delete);

  // Export also needs a symbol count; the quote commands need quote rows.
  c = {};
  c.portfolios_found = true;
  c.quote_rows = 4;
  s = compute_command_states(c);
  EXPECT_FALSE(s.quote_export);
  EXPECT_TRUE(s.quote_edit);
  c.quote_rows = 0;
  c.symbol_rows = 2;
  s = compute_command_states(c);
  EXPECT_FALSE(s.quote_edit || s.quote_split || s.quote_add || s.split_search);
  EXPECT_TRUE(s.symbol_facts);

  // Without portfolios only the always-on commands stay.
  c.portfolios_found = false;
  c.quote_rows = 4;
  s = compute_command_states(c);
  EXPECT_FALSE(s.quote_edit || s.symbol_facts || s.symbol_delete || s.symbol_edit);
  EXPECT_TRUE(s.search_filter && s.rescan);
}

}  // namespace
}  // namespace gui_test
