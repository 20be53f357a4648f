// The commands as the user reaches them: each menu action's enabled state in the browsing
// states that matter, and one flow per command family through the real action, with the
// view's grids afterwards. The controllers' own cases are tested with the controllers.
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>

#include <filesystem>
#include <functional>

#include "browser_fixture.h"
#include "core/command_fixture.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/command_rules.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "gui/symbols/move_symbol_dlg.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;

const QStringList kCommands = {"splitSearch", "deleteSymbol", "moveSymbol",  "copySymbol",
                               "editSymbol",  "dataFacts",    "editQuote",   "split",
                               "adjust",      "addQuote",     "deleteQuote", "export"};

class CommandWiringTest : public BrowserFixture {
 protected:
  // Portfolio "a": AAA and BBB, each with the sample's quotes, newest first in the grid:
  // 0 Wed 01/05/00, 1 Tue 01/04/00, 2 Mon 01/03/00, 3 Thu 12/30/99, 4 Wed 12/29/99.
  void makeA() {
    fs::create_directories(root() / "a");
    make_portfolio(root() / "a", {{1, "AAA", "ALPHA", command_testing::sample_bars()},
                                  {2, "BBB", "BRAVO", command_testing::sample_bars()}});
  }
  void makeB() {
    fs::create_directories(root() / "b");
    make_portfolio(root() / "b", {{1, "ZZZ", "ZULU", daily_bars(3), 28, false}});
  }

  // The commands whose actions are enabled now (Search Filter and ReScan always are).
  QStringList enabled() const {
    frame->updateCommandStates();
    EXPECT_TRUE(frame->searchFilterAction()->isEnabled());
    EXPECT_TRUE(frame->rescanAction()->isEnabled());
    QStringList names;
    for (const QString& name : kCommands) {
      QAction* action = frame->commandAction(name);
      if (action == nullptr) {
        ADD_FAILURE() << "no action " << name.toStdString();
        continue;
      }
      if (action->isEnabled()) names << name;
    }
    return names;
  }
  void trigger(const char* name) { frame->commandAction(QString::fromLatin1(name))->trigger(); }
  void selectSymbol(int row) {
    view()->symbolsGrid()->selectRow(row);
    view()->FillQuotesGrid(0);
  }
};

TEST_F(CommandWiringTest, NoPortfolioEnablesNoCommand) {
  createFrame();
  EXPECT_EQ(enabled(), QStringList());  // before the start-up
  prompter.expectMessage();             // "No master files found on drive ..."
  startUp();
  EXPECT_EQ(enabled(), QStringList());
}

// The rules in every browsing state that changes them: the commands enabled (Search Filter,
// ReScan and New Portfolio always are; Import with any portfolio listed). Move and Copy need no
// found flag, as they work between listed portfolios.
TEST(CommandRules, EachStateEnablesItsCommands) {
  const std::string quotes = "editQuote split adjust addQuote deleteQuote export";
  const std::string symbols = "deleteSymbol moveSymbol copySymbol editSymbol dataFacts";
  const std::string all = quotes + " " + symbols + " splitSearch";
  // Portfolios found with two listed, two symbols, five quotes, the newest row current.
  CommandConditions usual;
  usual.portfoliosFound = true;
  usual.portfolioEntries = 2;
  usual.symbolRows = usual.symbolCount = 2;
  usual.quoteRows = 5;
  const auto with = [&usual](const auto& change) {
    CommandConditions state = usual;
    change(state);
    return state;
  };
  const struct {
    CommandConditions state;
    std::string enabled;
  } cases[] = {
      {CommandConditions{}, ""},  // nowhere to import to
      {usual, all + " import"},
      // The oldest row current: no day to copy before it.
      {with([](auto& state) { state.currentQuoteRow = 4; }),
       "editQuote split adjust deleteQuote export " + symbols + " splitSearch import"},
      {with([](auto& state) { state.splitSearchOpen = true; }),
       quotes + " deleteSymbol moveSymbol copySymbol dataFacts import"},
      {with([](auto& state) { state.quoteRows = 0; }), symbols + " import"},
      {with([](auto& state) { state.portfolioEntries = 1; }),
       quotes + " deleteSymbol editSymbol dataFacts splitSearch import"},
      {with([](auto& state) { state.symbolCount = 0; }),
       "editQuote split adjust addQuote deleteQuote " + symbols + " splitSearch import"},
      {with([](auto& state) { state.chartShown = true; }), all + " saveChart import"},
      {with([](auto& state) {
         state.chartShown = true;
         state.chartSuspects = 3;
       }),
       all + " nextSuspect saveChart import"},
      {with([](auto& state) { state.portfoliosFound = false; }), "moveSymbol copySymbol import"},
      {with([](auto& state) { state.symbolRows = state.quoteRows = state.symbolCount = 0; }),
       "import"},
  };
  for (const auto& c : cases) {
    const CommandStates s = computeCommandStates(c.state);
    // clang-format off
    const std::pair<bool, const char*> flags[] = {
        {s.editQuote, "editQuote"}, {s.split, "split"}, {s.adjust, "adjust"},
        {s.addQuote, "addQuote"}, {s.deleteQuote, "deleteQuote"}, {s.exportQuotes, "export"},
        {s.deleteSymbol, "deleteSymbol"}, {s.moveSymbol, "moveSymbol"},
        {s.copySymbol, "copySymbol"}, {s.editSymbol, "editSymbol"}, {s.dataFacts, "dataFacts"},
        {s.splitSearch, "splitSearch"}, {s.nextSuspect, "nextSuspect"}, {s.saveChart, "saveChart"},
        {s.importText, "import"}};
    // clang-format on
    std::string enabled;
    for (const auto& [on, name] : flags)
      if (on) enabled += (enabled.empty() ? "" : " ") + std::string(name);
    EXPECT_EQ(enabled, c.enabled) << "case " << &c - cases;
    EXPECT_TRUE(s.searchFilter && s.rescan && s.newPortfolio);
  }
}

// The frame's actions follow the rules with the view's state: everything with quotes shown and
// the newest row current, everything but Add on the oldest row.
TEST_F(CommandWiringTest, TheActionsFollowTheViewsState) {
  makeA();
  makeB();
  startUp();
  EXPECT_EQ(enabled(), kCommands);
  view()->quotesGrid()->selectRow(4);
  QStringList all = kCommands;
  all.removeOne("addQuote");
  EXPECT_EQ(enabled(), all);
}

// Add on a Monday whose Friday is missing: the grid reloads with the new day current, and the
// editor opens on it.
TEST_F(CommandWiringTest, AddFromTheMenuReloadsOnTheNewDayAndOpensTheEditor) {
  makeA();
  startUp();
  view()->quotesGrid()->selectRow(2);  // Mon 01/03/00
  prompter.expectDialog([](QDialog& d) {
    EXPECT_EQ(static_cast<CAddQuoteDlg&>(d).newDateText(), "12/31/99");
    return press_ok(d);
  });
  int editedRow = -1;
  prompter.expectDialog([&](QDialog& d) {
    EXPECT_EQ(static_cast<CEditQuoteDlg&>(d).dateText(), "12/31/99");
    editedRow = view()->currentQuoteRow();
    return int(QDialog::Rejected);
  });
  trigger("addQuote");
  EXPECT_EQ(prompter.dialogTitles(), QStringList({"Add Data", "Edit Selected Quote"}));
  EXPECT_EQ(view()->quoteCount(), 6);
  EXPECT_EQ(editedRow, 3);
  EXPECT_EQ(view()->currentQuoteRow(), 3);
  EXPECT_EQ(view()->quotesGrid()->currentIndex().row(), 3);
  EXPECT_EQ(view()->quotesModel()->text(3, 0), "12/31/99");
}

// Edit Symbol shows the new texts in place; Copy keeps the grids; Move reloads them.
TEST_F(CommandWiringTest, SymbolCommandsFromTheMenuUpdateTheView) {
  makeA();
  makeB();
  startUp();
  selectSymbol(1);  // BBB
  prompter.expectDialog([](QDialog& d) {
    auto& dialog = static_cast<CEditSymbolDlg&>(d);
    EXPECT_EQ(dialog.symbol(), "BBB");
    dialog.symbolEdit()->setText("BXB");
    dialog.nameEdit()->setText("BRAVO NEW");
    dialog.accept();
    return dialog.result();
  });
  trigger("editSymbol");
  EXPECT_EQ(view()->symbolsModel()->text(1, 0), "BXB");
  EXPECT_EQ(view()->symbolsModel()->text(1, 1), "BRAVO NEW");
  EXPECT_EQ(view()->currentSymbol(), "BXB");
  EXPECT_EQ(view()->currentName(), "BRAVO NEW");
  EXPECT_EQ(view()->quoteCount(), 5);  // no reload: the quotes stay

  const auto pick = [this](bool move) {
    prompter.expectDialog([this, move](QDialog& d) {
      auto& dialog = static_cast<CMoveSymbolDlg&>(d);
      EXPECT_EQ(dialog.isMove(), move);
      dialog.portfolioList()->findItems(path("b"), Qt::MatchExactly).first()->setSelected(true);
      dialog.accept();
      return dialog.result();
    });
  };
  pick(false);
  trigger("copySymbol");
  EXPECT_EQ(view()->symbolCount(), 2);
  EXPECT_EQ(view()->currentSymbolRow(), 1);
  EXPECT_EQ(view()->symbolsGrid()->currentIndex().row(), 1);
  EXPECT_EQ(view()->currentSymbol(), "BXB");

  selectSymbol(0);  // AAA
  pick(true);
  trigger("moveSymbol");
  EXPECT_EQ(view()->symbolCount(), 1);
  EXPECT_EQ(view()->symbolsModel()->text(0, 0), "BXB");
  EXPECT_EQ(view()->currentSymbol(), "BXB");
  EXPECT_EQ(view()->quoteCount(), 5);
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();
}

// Data facts, Export and About open their dialogs over the current symbol.
TEST_F(CommandWiringTest, AnalysisAndAboutFromTheMenuOpenTheirDialogs) {
  makeA();
  startUp();
  prompter.expectDialog(QDialog::Accepted);
  trigger("dataFacts");
  prompter.expectDialog(QDialog::Rejected);
  trigger("export");
  prompter.expectDialog(QDialog::Accepted);
  frame->aboutAction()->trigger();
  EXPECT_EQ(prompter.dialogTitles(),
            QStringList({"About Selected Quote Series", "Export", "About Dorvane"}));
  EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace gui_test

namespace gui_test {
namespace {

// The grids' keys and the shortcuts of the menu items that share a mnemonic open the same
// dialogs as the menus, on the row the grid shows current.
TEST_F(CommandWiringTest, GridKeysAndShortcutsOpenTheirCommands) {
  makeA();
  startUp();
  struct Case {
    const char* what;
    std::function<void()> press;
    const char* title;
  };
  CGridView* quotes = view()->quotesGrid();
  CGridView* symbols = view()->symbolsGrid();
  const auto key = [](QWidget* widget, int key, Qt::KeyboardModifiers modifiers = {}) {
    return [widget, key, modifiers] {
      widget->setFocus();
      QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
    };
  };
  // Row 2, Monday 01/03/00, has no quote on the Friday before: Add opens its dialog there.
  const Case cases[] = {
      {"quotes Enter", key(quotes, Qt::Key_Return), "Edit Selected Quote"},
      // The grid's signal of a double-click on a row (a simulated double-click reaches no
      // item view's handler).
      {"quotes double-click",
       [quotes] { emit quotes->doubleClicked(quotes->model()->index(2, 0)); },
       "Edit Selected Quote"},
      {"quotes Insert", key(quotes, Qt::Key_Insert), "Add Data"},
      {"quotes Delete", key(quotes, Qt::Key_Delete), "Delete Data"},
      {"symbols Delete", key(symbols, Qt::Key_Delete), "Delete Symbol"},
      {"symbols F2", key(symbols, Qt::Key_F2), "Edit Symbol"},
      {"Ctrl+Shift+S", key(quotes, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier),
       "Split Data"},
      {"Ctrl+Shift+A", key(symbols, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier),
       "Adjust Data"},
  };
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  for (const Case& c : cases) {
    quotes->selectRow(2);
    prompter.dialogs.clear();
    prompter.expectDialog(QDialog::Rejected);
    c.press();
    EXPECT_EQ(prompter.dialogTitles(), QStringList{c.title}) << c.what;
    EXPECT_EQ(prompter.pending(), 0) << c.what;
  }
  // The shortcuts show in the menu beside the items' texts.
  EXPECT_EQ(frame->commandAction("split")->shortcut(), QKeySequence("Ctrl+Shift+S"));
  EXPECT_EQ(frame->commandAction("adjust")->shortcut(), QKeySequence("Ctrl+Shift+A"));
}

}  // namespace
}  // namespace gui_test
