// The portfolio as it is on disk: a sub-portfolio's row, index files that disagree (the repair
// the app offers, byte for byte the command line's), and files changed by another program
// while the window shows them.
#include <QLineEdit>

#include "browser_fixture.h"
#include "cli/cli_run.h"
#include "core/demo_data.h"
#include "core/index_agreement.h"
#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "qdb/writer.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::write_bytes;

class PortfolioChangesTest : public BrowserFixture {
 protected:
  fs::path master() const { return root() / "MASTER"; }
  // Makes an EMASTER that agrees with the MASTER: an empty one, which the index repair fills.
  void addEmaster() {
    std::string header(192, '\0');
    write_bytes(root() / "EMASTER", header);
    ASSERT_TRUE(core::repair_index_files(master().string()).ok);
    for (const auto& entry : fs::directory_iterator(root()))
      if (entry.path().filename().string().find(".bak") != std::string::npos)
        fs::remove(entry.path());
    ASSERT_TRUE(core::find_index_disagreements(master().string()).empty());
  }
  void trigger(const char* name) { frame->commandAction(QString::fromLatin1(name))->trigger(); }
  void load(int symbolRow, int quoteRow) {
    view()->symbolsGrid()->selectRow(symbolRow);
    view()->FillQuotesGrid(quoteRow);
  }
  // The message pane's text while it is not the idle one.
  QString note() const {
    return frame->idleText() == "For Help, press F1" ? QString() : frame->idleText();
  }
};

TEST_F(PortfolioChangesTest, ASubPortfolioRowSaysWhereItsSymbolsAreListed) {
  std::string message;
  ASSERT_TRUE(core::make_demo_tree(root().string(), message)) << message;
  startUp();
  view()->SetMasterPath(path("Stocks/MASTER"));
  view()->FillSymbolsGrid(0);
  int tech = -1;
  for (int row = 0; row < view()->symbolsModel()->rowCount(); ++row)
    if (view()->symbolsModel()->text(row, 0) == "TECH") tech = row;
  ASSERT_GE(tech, 0);
  const auto before = prompter.messages.size();
  prompter.expectMessage();
  load(tech, 0);
  ASSERT_EQ(prompter.messages.size(), before + 1);
  EXPECT_EQ(prompter.messages.back().text,
            "Error in FillQuotesGrid\nTECH is a sub-portfolio, not a symbol: its symbols are "
            "listed in " +
                path("Stocks/TECH/MASTER"));
  EXPECT_EQ(view()->quoteCount(), 0);

  // Highlighted by the keyboard, it loads before a quote command, which then has no quote to
  // act on: the command's rule, computed afresh, refuses it.
  load(0, 0);
  view()->symbolsGrid()->setFocus();
  QTest::keyClick(view()->symbolsGrid(), Qt::Key_End);
  ASSERT_EQ(view()->currentSymbolRow(), tech);
  prompter.expectMessage();
  trigger("editQuote");
  EXPECT_TRUE(prompter.messages.back().text.startsWith("Error in FillQuotesGrid\nTECH is a"));
  EXPECT_TRUE(prompter.dialogs.empty());
  EXPECT_FALSE(frame->commandAction("editQuote")->isEnabled());
}

TEST_F(PortfolioChangesTest, IndexFilesThatDisagreeAreOfferedTheRepairWithTheProblems) {
  make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                          {2, "BBB", "BBB CO", daily_bars(3), 28, false}});
  write_bytes(root() / "EMASTER", std::string(192, '\0'));  // no entries
  const std::vector<std::string> problems = core::find_index_disagreements(master().string());
  ASSERT_FALSE(problems.empty());
  QString offer;
  prompter.expectDialog([&offer](QDialog& d) {
    offer = static_cast<CFixMasterDlg&>(d).message();
    return int(QDialog::Accepted);
  });
  prompter.expectMessage();  // where the files as they were are kept
  startUp();
  EXPECT_TRUE(offer.startsWith("The Master file\n" + rootText() + "/MASTER\nappears corrupted."))
      << offer.toStdString();
  for (const std::string& problem : problems)
    EXPECT_TRUE(offer.contains("\n- " + QString::fromStdString(problem))) << problem;
  EXPECT_TRUE(prompter.messageTexts().value(0).startsWith(
      "The EMASTER and XMASTER were made to agree with the MASTER."));
  EXPECT_EQ(run_cli({"check", root().string()}).out, "sound\n");
  EXPECT_EQ(view()->symbolCount(), 2);

  // Declined, the offer lists the sound MASTER anyway and is not made again in this run.
  write_bytes(root() / "EMASTER", std::string(192, '\0'));
  prompter.expectDialog(QDialog::Rejected);
  view()->FillSymbolsGrid(0);
  view()->FillSymbolsGrid(0);
  EXPECT_EQ(prompter.dialogs.size(), 2u);
  EXPECT_EQ(view()->symbolCount(), 2);
}

// A MASTER whose last entry is cut off, with an EMASTER: the app's repair reports the entry
// dropped and leaves the same bytes as `dorvane-cli repair` on a copy.
TEST_F(PortfolioChangesTest, TheAppRepairsAsTheCommandLineDoes) {
  make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                          {2, "BBB", "BBB CO", daily_bars(3), 28, false},
                          {3, "CCC", "CUTOFF CO", daily_bars(3), 28, false}});
  addEmaster();
  std::string bytes = read_bytes(master());
  bytes.resize(bytes.size() - 20);  // 33 of the last entry's 53 bytes are left
  write_bytes(master(), bytes);
  testing_support::TempDir copy;
  fs::copy(root(), copy.path(), fs::copy_options::recursive);
  const auto cli = run_cli({"repair", copy.path().string()});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;

  QString offer;
  prompter.expectDialog([&offer](QDialog& d) {
    offer = static_cast<CFixMasterDlg&>(d).message();
    return int(QDialog::Accepted);
  });
  prompter.expectDialog(QDialog::Accepted);  // the report of the entry cut off
  prompter.expectMessage();                  // where the files as they were are kept
  startUp();
  EXPECT_TRUE(offer.contains("\n- the file is 192 bytes long")) << offer.toStdString();
  ASSERT_EQ(prompter.dialogs.size(), 2u);
  EXPECT_TRUE(prompter.dialogs[1].report);
  EXPECT_EQ(
      prompter.dialogs[1].text,
      "The last item of the Master file is cut off (only 33 of its 53 bytes\nare in the file) "
      "and was dropped. It is named\n\nCUTOFF CO       \nor\n(cut off)\n\nThis "
      "item is file F3.DAT\n\nWrite this information down now. When repair is complete\n"
      "consult the Fixing Bad Master topic in the Dorvane Help\nfile to ensure that your "
      "repair was done correctly.");
  EXPECT_NE(cli.out.find(prompter.dialogs[1].text.toStdString()), std::string::npos) << cli.out;
  for (const char* name : {"MASTER", "EMASTER"})
    EXPECT_TRUE(read_bytes(root() / name) == read_bytes(copy.path() / name)) << name;
  EXPECT_EQ(run_cli({"check", root().string()}).out, "sound\n");
  EXPECT_EQ(view()->symbolCount(), 2);
}

class FilesChangedElsewhereTest : public PortfolioChangesTest {
 protected:
  void SetUp() override {
    make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                            {2, "BBB", "BBB CO", daily_bars(5), 28, false}});
    startUp();
    load(1, 2);
  }
  // Another program writes BBB's file with count daily bars.
  void rewriteBbb(int count) {
    ASSERT_TRUE(qdb::write_data_file(root().string() + "/", 2, daily_bars(count),
                                     qdb::default_layout(28), 28));
  }
};

TEST_F(FilesChangedElsewhereTest, TheGridsAreReadAgainWithThePlaceKept) {
  const QString date = view()->quotesModel()->text(2, 0);
  rewriteBbb(307);  // newer quotes, enough for the load's progress bar
  ASSERT_TRUE(QTest::qWaitFor([this] { return !note().isEmpty(); }, 5000));
  EXPECT_EQ(note(), "F2.DAT changed on disk; the symbols and quotes were read again");
  EXPECT_EQ(view()->currentSymbol(), "BBB");
  EXPECT_EQ(view()->quoteCount(), 307);
  EXPECT_EQ(view()->currentQuoteRow(), 304);
  EXPECT_EQ(view()->quotesModel()->text(304, 0), date);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(FilesChangedElsewhereTest, ACommandOnAQuoteThatIsGoneIsRefused) {
  load(1, 0);
  const QString newest = view()->quotesModel()->text(0, 0);
  rewriteBbb(4);  // the newest quote is gone; the command comes before the watcher's news
  prompter.expectMessage();
  trigger("editQuote");
  EXPECT_EQ(prompter.messageTexts(),
            QStringList({"F2.DAT changed on disk, so the command was not carried out. The quote "
                         "of " +
                         newest +
                         " is no longer in the file.\nThe symbols and quotes have been read "
                         "again."}));
  EXPECT_TRUE(prompter.dialogs.empty());
  EXPECT_EQ(view()->quoteCount(), 4);
  EXPECT_EQ(view()->currentSymbol(), "BBB");
}

TEST_F(FilesChangedElsewhereTest, AChartDoubleClickOnAQuoteThatIsGoneIsRefused) {
  load(1, 0);
  const QString newest = view()->quotesModel()->text(0, 0);
  rewriteBbb(4);
  prompter.expectMessage();
  emit view()->chartView()->rowActivated(0);
  EXPECT_EQ(prompter.messageTexts(),
            QStringList({"F2.DAT changed on disk, so the command was not carried out. The quote "
                         "of " +
                         newest +
                         " is no longer in the file.\nThe symbols and quotes have been read "
                         "again."}));
  EXPECT_TRUE(prompter.dialogs.empty());
  EXPECT_EQ(view()->quoteCount(), 4);
}

TEST_F(FilesChangedElsewhereTest, TheAppsOwnWritesRaiseNoNote) {
  prompter.expectDialog([](QDialog& d) {
    static_cast<CEditQuoteDlg&>(d).field(3)->setText("99.5");
    return press_ok(d);
  });
  trigger("editQuote");
  prompter.expectDialog([](QDialog& d) {
    static_cast<CEditSymbolDlg&>(d).nameEdit()->setText("BRAVO NEW");
    d.accept();
    return d.result();
  });
  trigger("editSymbol");
  ASSERT_EQ(prompter.dialogs.size(), 2u);
  EXPECT_EQ(view()->symbolsModel()->text(1, 1), "BRAVO NEW");
  QTest::qWait(800);
  EXPECT_EQ(note(), QString());
}

}  // namespace
}  // namespace gui_test
