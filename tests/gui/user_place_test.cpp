// The user's place in the main window: the panes' sizes and the symbols' order kept between
// runs, the last portfolio and symbol brought back, Go to Date, copying rows, the day kept
// after a quote command, Recent Portfolios, a typed place, and Split Search's way back to a
// finding.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSplitter>

#include "browser_fixture.h"
#include "core/command_fixture.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/date_edit.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/go_to_date_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/split_dlg.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;

// daily_bars(10) without Thursday 01/06/00: newest first 01/12 to 01/07, then 01/05 to 01/03.
std::vector<qdb::QuoteBar> barsWithAGap() {
  std::vector<qdb::QuoteBar> bars = daily_bars(10);
  bars.erase(bars.begin() + 3);
  return bars;
}

void setText(QLineEdit* field, const char* text) {
  field->selectAll();
  field->insert(QString::fromLatin1(text));
}

class UserPlaceTest : public BrowserFixture {
 protected:
  // Portfolio "p": symbols BBB ALPHA, AAA CHARLIE and CCC BRAVO (listed AAA, BBB, CCC).
  void SetUp() override {
    make_portfolio(root() / "p", {{1, "BBB", "ALPHA", daily_bars(10)},
                                  {2, "AAA", "CHARLIE", barsWithAGap()},
                                  {3, "CCC", "BRAVO", daily_bars(7)}});
  }
  void restart() {
    frame->close();
    frame.reset();
    createFrame();
    startUp();
  }
  QStringList column(int index) const {
    QStringList texts;
    for (int i = 0; i < view()->symbolsModel()->rows(); ++i)
      texts << view()->symbolsModel()->text(i, index).trimmed();
    return texts;
  }
  void clickTitle(int section) {
    QHeaderView* header = view()->symbolsGrid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  }
  QString selectedDate() const {
    return view()->quotesModel()->text(view()->quotesGrid()->selectedRow(), 0);
  }
};

TEST_F(UserPlaceTest, TheSplittersSizesComeBackOnTheNextStart) {
  startUp();
  frame->resize(900, 700);
  QApplication::processEvents();
  view()->mainSplitter()->setSizes({300, 250});
  view()->topSplitter()->setSizes({150, 600});
  const QList<int> main = view()->mainSplitter()->sizes();
  const QList<int> top = view()->topSplitter()->sizes();
  restart();
  frame->resize(900, 700);
  QApplication::processEvents();
  EXPECT_EQ(view()->mainSplitter()->sizes(), main);
  EXPECT_EQ(view()->topSplitter()->sizes(), top);
}

// A click on a title sorts by it, a second reverses it; the current entry stays current, the
// commands act on the row clicked, and the order, the portfolio and the symbol come back on
// the next start.
TEST_F(UserPlaceTest, SortingIsRememberedAndCommandsActOnTheClickedRow) {
  startUp();
  ASSERT_EQ(column(0), QStringList({"AAA", "BBB", "CCC"}));
  clickTitle(1);
  EXPECT_EQ(column(1), QStringList({"ALPHA", "BRAVO", "CHARLIE"}));
  EXPECT_EQ(view()->currentSymbolRow(), 2);
  EXPECT_EQ(view()->symbolsGrid()->currentIndex().row(), 2);
  clickTitle(1);
  EXPECT_EQ(column(1), QStringList({"CHARLIE", "BRAVO", "ALPHA"}));
  EXPECT_EQ(view()->currentSymbolRow(), 0);

  CGridView* grid = view()->symbolsGrid();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualRect(grid->model()->index(1, 0)).center());
  QString shown;
  int quotes = 0;
  prompter.expectDialog([&](QDialog&) {
    shown = view()->currentSymbol();
    quotes = view()->quoteCount();
    return int(QDialog::Rejected);
  });
  frame->commandAction("editQuote")->trigger();
  EXPECT_EQ(shown, "CCC");
  EXPECT_EQ(quotes, 7);

  restart();
  EXPECT_EQ(column(1), QStringList({"CHARLIE", "BRAVO", "ALPHA"}));
  EXPECT_EQ(view()->currentSymbol(), "CCC");
  EXPECT_EQ(view()->currentSymbolRow(), 1);
}

TEST_F(UserPlaceTest, GoToDateSelectsTheDayOrTheNearestEarlierOne) {
  startUp();
  ASSERT_EQ(view()->currentSymbol(), "AAA");
  EXPECT_EQ(frame->commandAction("goToDate")->shortcut(), QKeySequence("Ctrl+G"));
  const struct {
    const char* typed;
    const char* selected;  // the day selected after, or the message shown
    bool message;
  } cases[] = {
      {"01/05/00", "01/05/00", false},    // exact
      {"01/06/2000", "01/05/00", false},  // the day missing: the one before
      {"02/20/00", "01/12/00", false},    // after the newest
      {"01/02/00", "No quote on or before 01/02/00", true},
      {"13/45/00", "Invalid Data Entered", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    view()->FillQuotesGrid(4);
    prompter.expectDialog([&](QDialog& d) {
      auto& dialog = static_cast<CGoToDateDlg&>(d);
      EXPECT_EQ(dialog.dateText(), "01/08/00");  // the current row's day proposed
      setText(dialog.dateEdit(), c.typed);
      return int(QDialog::Accepted);
    });
    if (c.message) prompter.expectMessage();
    frame->commandAction("goToDate")->trigger();
    if (c.message) {
      EXPECT_EQ(prompter.messageTexts().back(), c.selected);
      EXPECT_EQ(selectedDate(), "01/08/00");
    } else {
      EXPECT_EQ(selectedDate(), c.selected);
      EXPECT_EQ(view()->currentQuoteRow(), view()->quotesGrid()->selectedRow());
    }
  }
}

// Ctrl+C copies the rows selected, with the column titles, as tab-separated lines; the
// commands keep acting on the current row.
TEST_F(UserPlaceTest, CtrlCCopiesTheSelectedRowsWithAHeader) {
  startUp();
  CGridView* grid = view()->quotesGrid();
  grid->setFocus();
  view()->FillQuotesGrid(1);
  QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(view()->currentQuoteRow(), 2);
  QApplication::clipboard()->clear();
  QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
            "Date\tOpen\tHigh\tLow\tClose\tVolume\tOpen Interest\n"
            "01/11/00\t12.0000\t13.0000\t11.0000\t12.5000\t1008\t50\n"
            "01/10/00\t11.7500\t12.7500\t10.7500\t12.2500\t1007\t50\n");
}

// The day acted on stays selected after Edit, Split and Adjust; Delete leaves the next older
// day selected, Add the day added.
TEST_F(UserPlaceTest, AQuoteCommandKeepsTheUsersDay) {
  startUp();
  const struct {
    const char* command;
    ScriptedPrompter::DialogScript fill;
    bool confirm;
    const char* selected;
  } cases[] = {
      {"editQuote",
       [](QDialog& d) {
         setText(static_cast<CEditQuoteDlg&>(d).field(3), "99.5");
         return press_ok(d);
       },
       false, "01/03/00"},
      {"split",
       [](QDialog& d) {
         setText(static_cast<CSplitDlg&>(d).newShares(), "2");
         return press_ok(d);
       },
       false, "01/03/00"},
      {"adjust",
       [](QDialog& d) {
         auto& adjust = static_cast<CAdjustDlg&>(d);
         setText(adjust.priceEdit(), "0.5");
         return press_ok(d);
       },
       false, "01/03/00"},
      {"deleteQuote", press_ok, true, "12/30/99"},
      {"addQuote", press_ok, false, "12/31/99"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    const fs::path dir = root() / c.command;
    make_portfolio(dir, {{1, "TEST", "TEST", command_testing::sample_bars()}});
    ASSERT_TRUE(view()->openPortfolio(QString::fromStdString(dir.string())));
    view()->FillQuotesGrid(2);  // 01/03/00
    view()->quotesGrid()->scrollToTop();
    prompter.expectDialog(c.fill);
    if (c.confirm) prompter.expectMessage(Prompter::Answer::Yes);
    if (std::string(c.command) == "addQuote") prompter.expectDialog(QDialog::Rejected);
    frame->commandAction(c.command)->trigger();
    EXPECT_EQ(prompter.pending(), 0);
    EXPECT_EQ(selectedDate(), c.selected);
    EXPECT_EQ(view()->quotesModel()->text(view()->currentQuoteRow(), 0), c.selected);
  }
  // The oldest day deleted: the new oldest is selected.
  view()->FillQuotesGrid(view()->quoteCount() - 1);
  prompter.expectDialog(press_ok);
  prompter.expectMessage(Prompter::Answer::Yes);
  frame->commandAction("deleteQuote")->trigger();
  EXPECT_EQ(view()->currentQuoteRow(), view()->quoteCount() - 1);
  EXPECT_EQ(view()->quotesGrid()->selectedRow(), view()->quoteCount() - 1);
}

// File > Recent Portfolios lists the last eight opened, newest first, and opens one outside the
// root scanned.
TEST_F(UserPlaceTest, RecentPortfoliosListTheLastEightAndOpenOneOutsideTheRoot) {
  testing_support::TempDir elsewhere;
  make_portfolio(elsewhere.path(), {{1, "FAR", "FAR AWAY", daily_bars(3)}});
  const QString far = QString::fromStdString(elsewhere.path().string());
  startUp();
  ASSERT_TRUE(view()->openPortfolio(far));
  EXPECT_EQ(view()->currentSymbol(), "FAR");
  QStringList opened;
  for (int i = 0; i < 8; ++i) {
    make_portfolio(root() / std::to_string(i), {{1, "N", "N", daily_bars(1)}});
    opened.prepend(path(std::to_string(i)));
    ASSERT_TRUE(view()->openPortfolio(opened.first()));
  }
  EXPECT_EQ(view()->recentPortfolios(), opened);  // the first two have dropped out

  view()->openPortfolio(far);
  view()->openPortfolio(path("p"));
  frame->fillRecentMenu();
  const QList<QAction*> entries = frame->recentMenu()->actions();
  ASSERT_EQ(entries.size(), 8);
  EXPECT_EQ(entries[0]->text(), "&1 " + path("p"));
  EXPECT_EQ(entries[1]->text(), "&2 " + far);
  entries[1]->trigger();
  EXPECT_EQ(view()->portfolioDir(), far);
  EXPECT_EQ(view()->currentSymbol(), "FAR");

  prompter.expectMessage();
  EXPECT_FALSE(view()->openPortfolio(path("none")));
  EXPECT_EQ(view()->portfolioDir(), far);
}

// A path typed in the root list is walked on Enter; a path that is no folder is refused.
TEST_F(UserPlaceTest, ATypedPlaceIsWalkedOnEnter) {
  make_portfolio(root() / "q" / "inner", {{1, "INNER", "INNER", daily_bars(2)}});
  startUp();
  QComboBox* places = view()->driveList();
  ASSERT_TRUE(places->isEditable());
  setText(places->lineEdit(), (path("q") + "/").toUtf8().constData());
  QTest::keyClick(places, Qt::Key_Return);
  EXPECT_EQ(view()->drive(), path("q"));
  EXPECT_EQ(portfolioEntries(), QStringList({path("q/inner")}));
  EXPECT_EQ(places->currentText(), path("q"));

  prompter.expectMessage();
  setText(places->lineEdit(), (path("missing")).toUtf8().constData());
  QTest::keyClick(places, Qt::Key_Return);
  EXPECT_EQ(prompter.messageTexts().back(), "No such folder:\n" + path("missing"));
  EXPECT_EQ(view()->drive(), path("q"));
}

// The window keeps searching its own portfolio after the main window moved on, and a
// double-click on a finding shows that symbol and day in the main window.
TEST_F(UserPlaceTest, SplitSearchKeepsItsPortfolioAndShowsAFinding) {
  std::vector<qdb::QuoteBar> bars = daily_bars(6);
  for (std::size_t i = 3; i < bars.size(); ++i) {
    bars[i].open = bars[i].high = bars[i].low = bars[i].close = 10;
  }
  for (std::size_t i = 0; i < 3; ++i)
    bars[i].open = bars[i].high = bars[i].low = bars[i].close = 20;
  make_portfolio(root() / "s", {{1, "HALF", "HALVED", bars}});
  startUp();
  ASSERT_TRUE(view()->openPortfolio(path("s")));
  frame->commandAction("splitSearch")->trigger();
  CSplitSearchDlg* window = view()->splitSearch()->window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Split Search - " + path("s"));
  ASSERT_TRUE(view()->openPortfolio(path("p")));

  window->startSearch();
  ASSERT_TRUE(QTest::qWaitFor([window] { return !window->isSearching(); }, 5000));
  ASSERT_EQ(window->resultLines().size(), 1);
  EXPECT_TRUE(window->resultLines()[0].startsWith("HALF possible 2 for 1 split on 01/06/00"));

  QListWidgetItem* finding = window->resultList()->item(0);
  emit window->resultList()->itemActivated(finding);
  EXPECT_EQ(view()->portfolioDir(), path("s"));
  EXPECT_EQ(view()->currentSymbol(), "HALF");
  EXPECT_EQ(selectedDate(), "01/06/00");
  window->close();
}

}  // namespace
}  // namespace gui_test
