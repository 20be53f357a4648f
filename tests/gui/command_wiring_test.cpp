// The commands as the user reaches them: each menu action's enabled state in the browsing
// states that matter, and one flow per command family through the real action, with the
// view's grids afterwards. The controllers' own cases are tested with the controllers.
#include <QLineEdit>
#include <QListWidget>

#include <filesystem>

#include "browser_fixture.h"
#include "core/command_fixture.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
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
    command_testing::make_portfolio((root() / "a").string(),
                                    {{1, "AAA", "ALPHA"}, {2, "BBB", "BRAVO"}});
  }
  void makeB() {
    fs::create_directories(root() / "b");
    make_portfolio(root() / "b", {{1, "ZZZ", "ZULU"}});
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

TEST_F(CommandWiringTest, EachStateEnablesItsCommands) {
  makeA();
  fs::create_directories(root() / "e");
  make_portfolio(root() / "e", {{1, "NONE", "NO QUOTES", 0}});
  startUp();
  // Two portfolios listed, quotes shown, the newest row current: everything.
  EXPECT_EQ(enabled(), kCommands);

  // The oldest row current: no following day to copy, so no Add.
  view()->quotesGrid()->selectRow(4);
  QStringList all = kCommands;
  all.removeOne("addQuote");
  EXPECT_EQ(enabled(), all);

  // The Split Search window open: no second one, and no Symbol Edit.
  view()->quotesGrid()->selectRow(0);
  trigger("splitSearch");
  ASSERT_TRUE(view()->splitSearch()->isOpen());
  all = kCommands;
  all.removeOne("splitSearch");
  all.removeOne("editSymbol");
  EXPECT_EQ(enabled(), all);
  view()->splitSearch()->window()->close();
  EXPECT_FALSE(view()->splitSearch()->isOpen());
  EXPECT_EQ(enabled(), kCommands);

  // A symbol without quotes: only the symbol commands.
  view()->portfolioList()->setCurrentRow(1);
  ASSERT_EQ(view()->symbolCount(), 1);
  ASSERT_EQ(view()->quoteCount(), 0);
  EXPECT_EQ(enabled(),
            QStringList({"deleteSymbol", "moveSymbol", "copySymbol", "editSymbol", "dataFacts"}));

  // One portfolio listed: nowhere to move or copy to.
  fs::remove_all(root() / "e");
  frame->rescanAction()->trigger();
  ASSERT_EQ(view()->portfolioList()->count(), 1);
  all = kCommands;
  all.removeOne("moveSymbol");
  all.removeOne("copySymbol");
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
