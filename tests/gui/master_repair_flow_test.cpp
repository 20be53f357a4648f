// Loading a damaged MASTER: the repair question declined, accepted or skipped by the
// automatic repair, the report of each dropped record, and the symbols-grid messages.
#include <cstring>

#include <QPushButton>

#include "browser_fixture.h"
#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "support/master_bytes.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace gui_test {
namespace {

using testing_support::read_bytes;
using testing_support::write_bytes;

const char kConfirmation[] =
    "The Master file\n%1\nappears corrupted.\n\nShould Dorvane try to repair this file now?\n\n"
    "If Yes, your exisitng Master file will be saved\nas file Master.bak\n\n";

class RepairFlowTest : public BrowserFixture {
 protected:
  std::filesystem::path master() const { return root() / "MASTER"; }
};

TEST_F(RepairFlowTest, DeclinedRepairTouchesNothingAndLeavesTheGridsEmpty) {
  make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                          {2, "BBB", "BBB CO", daily_bars(3), 28, false}});
  write_bytes(master(), read_bytes(master()) + '\0');  // one byte too many
  const std::string before = read_bytes(master());
  // The confirmation is closed with its Cancel button.
  auto cancel = [](QDialog& dialog) {
    static_cast<CFixMasterDlg&>(dialog).cancelButton()->click();
    return dialog.result();
  };
  prompter.expectDialog(cancel);
  prompter.expectMessage();
  startUp();

  ASSERT_EQ(prompter.dialogs.size(), 1u);
  EXPECT_EQ(prompter.dialogs[0].title, "Fix Master File");
  EXPECT_FALSE(prompter.dialogs[0].report);
  // The question, then what the checks found.
  EXPECT_EQ(prompter.dialogs[0].text,
            QString(kConfirmation).arg(rootText() + "/MASTER") +
                "The checks found:\n- the file is 160 bytes long, but its header count of 2 needs "
                "159 bytes (53 bytes for the header and for each entry); it holds 2 whole entries "
                "and 1 bytes of a cut-off one");
  EXPECT_EQ(prompter.messageTexts(), QStringList({"Failure while filling symbols grid"}));
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Stop);
  EXPECT_EQ(read_bytes(master()), before);
  EXPECT_FALSE(std::filesystem::exists(root() / "MASTER.bak"));
  EXPECT_FALSE(std::filesystem::exists(root() / "MASTER.tmp"));
  EXPECT_EQ(view()->symbolsModel()->rowCount(), 0);
  EXPECT_EQ(view()->symbolCount(), 0);
  EXPECT_EQ(view()->quotesModel()->rowCount(), 0);
  EXPECT_EQ(frame->symbolPaneText(), "No Symbols Read");

  // Picking the portfolio again asks again.
  prompter.expectDialog(QDialog::Rejected);
  prompter.expectMessage();
  view()->FillSymbolsGrid(0);
  EXPECT_EQ(prompter.dialogs.size(), 2u);
}

TEST_F(RepairFlowTest, AcceptedRepairKeepsABackupAndListsTheRebuiltFile) {
  make_portfolio(root(), {{1, "AAA", "AAA CO", daily_bars(3), 28, false},
                          {2, "BBB", "BBB CO", daily_bars(4), 28, false}});
  std::string bytes = read_bytes(master());
  bytes[0] = 5;  // the header claims 5 entries, 2 follow
  write_bytes(master(), bytes);
  prompter.expectDialog(QDialog::Accepted);
  prompter.expectMessage();  // where the file as it was is kept
  startUp();

  ASSERT_EQ(prompter.dialogs.size(), 1u);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text,
            "The MASTER file was repaired. A copy of it as it was is in\n" +
                path("MASTER.repair1.bak") + "\nand in\n" + path("MASTER.bak"));
  EXPECT_EQ(read_bytes(root() / "MASTER.repair1.bak"), bytes);
  EXPECT_EQ(read_bytes(root() / "MASTER.bak"), bytes);
  const std::string repaired = read_bytes(master());
  ASSERT_EQ(repaired.size(), 3u * 53u);
  EXPECT_EQ(repaired[0], 2);
  EXPECT_EQ(view()->symbolCount(), 2);
  EXPECT_EQ(view()->symbolsModel()->text(1, 0), "BBB");
  EXPECT_EQ(view()->quoteCount(), 3);
}

TEST_F(RepairFlowTest, AutomaticRepairAsksNothingButReportsEachDroppedRecord) {
  make_portfolio(root(), {{3, "FIRST", "FIRST ISSUE", daily_bars(3), 28, false},
                          {5, "OTHER", "OTHER ISSUE", daily_bars(3), 28, false}});
  // A third entry reusing file number 3.
  std::string bytes = read_bytes(master());
  std::string dup = bytes.substr(53, 53);
  std::memcpy(dup.data() + 7, "SECOND ISSUE    ", 16);
  std::memcpy(dup.data() + 36, "SECOND          ", 16);
  bytes += dup;
  bytes[0] = 3;
  write_bytes(master(), bytes);
  settings().SetInt("Search", "MasterFix", 1);
  prompter.expectDialog(QDialog::Accepted);
  prompter.expectMessage();  // where the file as it was is kept
  startUp();

  ASSERT_EQ(prompter.dialogs.size(), 1u);
  EXPECT_TRUE(prompter.dialogs[0].report);
  EXPECT_EQ(prompter.dialogs[0].text,
            "An error was found with the item named\n\nSECOND ISSUE    \nor\nSECOND          \n\n"
            "This item is file F3.DAT\n\nWrite this information down now. When repair is complete\n"
            "consult the Fixing Bad Master topic in the Dorvane Help\nfile to ensure that your "
            "repair was done correctly.");
  // One beep for the report, one at the end of the scan.
  EXPECT_EQ(prompter.beeps, 2);
  EXPECT_EQ(view()->symbolCount(), 2);
  EXPECT_EQ(view()->symbolsModel()->text(0, 0), "FIRST");
  EXPECT_EQ(view()->symbolsModel()->text(1, 0), "OTHER");
}

TEST_F(RepairFlowTest, MoreThan255SymbolsListsTheFirst255) {
  std::string bytes = testing_support::master_header(256);
  for (int n = 0; n < 256; ++n) {
    const std::string symbol = QString("S%1").arg(n, 3, 10, QChar('0')).toStdString();
    bytes += testing_support::master_entry(n, symbol, symbol);
  }
  write_bytes(master(), bytes);
  prompter.expectMessage();
  prompter.expectMessage();  // the first symbol has no data file
  startUp();
  ASSERT_FALSE(prompter.messages.empty());
  EXPECT_EQ(prompter.messages[0].text,
            "File has 256 symbols.\nWill only display the first 255 symbols");
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Warning);
  EXPECT_EQ(view()->symbolCount(), 255);
  EXPECT_EQ(view()->symbolsModel()->rowCount(), 255);
  EXPECT_TRUE(prompter.dialogs.empty());
}

TEST_F(RepairFlowTest, AnEmptyMasterListsNoSymbols) {
  make_portfolio(root(), {});
  startUp();
  EXPECT_TRUE(prompter.messages.empty());
  EXPECT_EQ(view()->symbolsModel()->rowCount(), 0);
  EXPECT_EQ(frame->windowTitle(), "Dorvane - " + rootText() + " - (no symbols)");
  EXPECT_EQ(frame->symbolPaneText(), "No Symbols Read");
}

TEST_F(RepairFlowTest, TheRealMiningPortfolioIsRepairedAndEverySymbolReads) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  testing_support::copy_tree(testing_support::real_portfolio("mininge"), root() / "mininge");
  prompter.expectDialog(QDialog::Accepted);
  prompter.expectMessage();  // where the file as it was is kept
  startUp();
  ASSERT_EQ(prompter.dialogs.size(), 1u);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(view()->symbolCount(), 25);
  for (int row = 0; row < view()->symbolsModel()->rowCount(); ++row) {
    view()->symbolsGrid()->selectRow(row);
    view()->FillQuotesGrid(0);
    EXPECT_GT(view()->quoteCount(), 0) << view()->currentSymbol().toStdString();
  }
  EXPECT_EQ(prompter.messages.size(), 1u) << prompter.messageTexts().join("|").toStdString();
}

}  // namespace
}  // namespace gui_test
