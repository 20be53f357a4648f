#include "core/master_repair.h"

#include <gtest/gtest.h>

#include "core/master_check.h"
#include "core/symbol_rows.h"
#include "qdb/dat.h"
#include "support/failing_file_system.h"
#include "support/master_bytes.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::master_entry;
using testing_support::master_header;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

class Answers : public core::RepairObserver {
 public:
  explicit Answers(bool yes) : m_yes(yes) {}
  bool confirm(const std::string& message) override {
    confirmations.push_back(message);
    return m_yes;
  }
  void report_dropped(const std::string& message) override { reports.push_back(message); }
  void beep() override { ++beeps; }
  std::vector<std::string> confirmations, reports;
  int beeps = 0;

 private:
  bool m_yes;
};

class MasterFiles : public ::testing::Test {
 protected:
  std::string master() const { return m_dir.dir() + "MASTER"; }
  void write(const std::string& bytes) { write_bytes(m_dir.path() / "MASTER", bytes); }
  std::string bytes() const { return read_bytes(m_dir.path() / "MASTER"); }
  testing_support::TempDir m_dir;
};

std::string ten_records() {
  std::string body;
  for (int i = 1; i <= 10; ++i)
    body += master_entry(i, "ISSUE " + std::to_string(i), "SYM" + std::to_string(i));
  return body;
}

TEST_F(MasterFiles, EachCheckFindsItsProblem) {
  write(master_header(10) + ten_records());
  EXPECT_TRUE(core::ValidateMaster(master()).sound);
  EXPECT_TRUE(core::ValidateMaster(master()).problems.empty());
  EXPECT_TRUE(core::CheckFileNumbers(master()));
  EXPECT_TRUE(core::CheckSymbols(master()));

  write(master_header(10) + ten_records() + "x");  // 584 bytes
  auto result = core::ValidateMaster(master());
  EXPECT_FALSE(result.sound);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_NE(result.problems[0].find("584 bytes"), std::string::npos) << result.problems[0];

  write(master_header(3) + master_entry(7, "A", "A") + master_entry(2, "B", "B") +
        master_entry(7, "C", "C"));
  std::string problem;
  EXPECT_FALSE(core::CheckFileNumbers(master(), &problem));
  EXPECT_NE(problem.find("file number 7"), std::string::npos) << problem;
  EXPECT_TRUE(core::CheckSymbols(master()));
  EXPECT_FALSE(core::ValidateMaster(master()).sound);

  write(master_header(2) + master_entry(1, "GOLD", " GLD") + master_entry(2, "BRK", "A B"));
  EXPECT_TRUE(core::CheckFileNumbers(master()));
  EXPECT_FALSE(core::CheckSymbols(master(), &problem));
  EXPECT_NE(problem.find("entry 1"), std::string::npos) << problem;

  // A count of 0xFFFF is -1 as a signed word: the size 53 * 0 never matches.
  write(master_header(0xFFFF));
  EXPECT_FALSE(core::ValidateMaster(master()).sound);

  write(std::string(52, 'x'));
  EXPECT_FALSE(core::ValidateMaster(master()).readable);
  EXPECT_FALSE(core::CheckSymbols(master()));
}

TEST_F(MasterFiles, DeclinedRepairTouchesNothing) {
  const std::string damaged = master_header(12) + ten_records();
  write(damaged);
  Answers no(false);
  EXPECT_EQ(core::RepairMaster(master(), no).outcome, core::RepairOutcome::kDeclined);
  ASSERT_EQ(no.confirmations.size(), 1u);
  EXPECT_EQ(no.confirmations[0],
            "The Master file\n" + master() +
                "\nappears corrupted.\n\nShould Dorvane try to repair this file now?\n\n"
                "If Yes, your exisitng Master file will be saved\nas file Master.bak\n\n");
  EXPECT_EQ(bytes(), damaged);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 1);
}

TEST_F(MasterFiles, WrongHeaderCountIsCorrectedAndBackupKept) {
  const std::string damaged = master_header(12) + ten_records();
  write(damaged);
  Answers yes(true);
  const auto result = core::RepairMaster(master(), yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_TRUE(yes.reports.empty());
  std::string expected = master_header(10, 12) + ten_records();
  EXPECT_EQ(bytes(), expected);
  EXPECT_EQ(bytes().size(), 583u);
  EXPECT_EQ(read_bytes(m_dir.path() / "MASTER.bak"), damaged);
  EXPECT_FALSE(fs::exists(m_dir.path() / "MASTER.tmp"));

  // A second repair keeps the first backup as it was.
  write(master_header(11) + ten_records());
  Answers again(true);
  EXPECT_EQ(core::RepairMaster(master(), again, true).outcome, core::RepairOutcome::kRepaired);
  EXPECT_TRUE(again.confirmations.empty());  // automatic repair asks nothing
  EXPECT_EQ(read_bytes(m_dir.path() / "MASTER.bak"), damaged);
  EXPECT_EQ(bytes(), master_header(10, 11) + ten_records());
}

TEST_F(MasterFiles, BackupOfAnyCaseIsNeverReplacedAndLowerCaseMasterIsFound) {
  fs::remove(m_dir.path() / "MASTER");
  write_bytes(m_dir.path() / "master", master_header(2) + ten_records().substr(0, 53));
  write_bytes(m_dir.path() / "Master.BAK", "old backup");
  Answers yes(true);
  const auto result = core::RepairMaster(master(), yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_FALSE(result.backup_made);
  EXPECT_EQ(read_bytes(m_dir.path() / "Master.BAK"), "old backup");
  EXPECT_EQ(read_bytes(m_dir.path() / "master"), master_header(1, 2) + ten_records().substr(0, 53));
  EXPECT_FALSE(fs::exists(m_dir.path() / "MASTER"));
}

TEST_F(MasterFiles, RepeatedFileNumberIsDroppedWithOneReport) {
  const std::string third = master_entry(3, "THIRD ISSUE", "TRD");
  write(master_header(3) + master_entry(3, "FIRST", "FST") + master_entry(5, "SECOND", "SND") +
        third);
  Answers yes(true);
  const auto result = core::RepairMaster(master(), yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_EQ(result.dropped, 1);
  EXPECT_EQ(yes.beeps, 1);
  ASSERT_EQ(yes.reports.size(), 1u);
  EXPECT_EQ(yes.reports[0],
            "An error was found with the item named\n\nTHIRD ISSUE     \nor\nTRD             \n\n"
            "This item is file F3.DAT\n\nWrite this information down now. When repair is complete\n"
            "consult the Fixing Bad Master topic in the Dorvane Help\n"
            "file to ensure that your repair was done correctly.");
  EXPECT_EQ(bytes(), master_header(2, 3) + master_entry(3, "FIRST", "FST") +
                         master_entry(5, "SECOND", "SND"));
}

TEST_F(MasterFiles, BlankSymbolIsFilledFromTheIssueName) {
  std::string full = master_entry(1, "ABCDEFGHIJKLMNOP", "");
  std::string short_name = master_entry(2, "GOLD", "");
  short_name[7 + 4] = '\0';  // name "GOLD" ended by a zero byte
  short_name[36 + 8] = 'Q';  // a stray symbol byte survives past the name
  std::string control = master_entry(3, "XY", "");
  control[36] = '\x01';
  write(master_header(3) + full + short_name + control + "tail");
  Answers yes(true);
  EXPECT_EQ(core::RepairMaster(master(), yes).outcome, core::RepairOutcome::kRepaired);

  std::string expected_full = full;
  expected_full.replace(36, 16, "ABCDEFGHIJKLMNOP");
  std::string expected_short = short_name;
  expected_short.replace(36, 16, std::string("GOLD\0\0\0\0Q\0\0\0\0\0\0\0", 16));
  std::string expected_control = control;
  expected_control.replace(36, 16, "XY              ");  // the name's blanks, no zero byte
  EXPECT_EQ(bytes(), master_header(3) + expected_full + expected_short + expected_control);

  const auto rows = core::read_master_rows(master()).rows;
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].symbol, "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(rows[1].symbol, "GOLD");
  EXPECT_EQ(rows[2].symbol, "XY");
}

TEST_F(MasterFiles, EmptySlotsAreDroppedSilently) {
  write(master_header(2) + master_entry(4, "A", "A") + std::string(53, '\0') +
        master_entry(6, "B", "B") + std::string(53, '\0'));
  Answers yes(true);
  const auto result = core::RepairMaster(master(), yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_EQ(result.empty_slots, 2);
  EXPECT_TRUE(yes.reports.empty());
  EXPECT_EQ(bytes(), master_header(2) + master_entry(4, "A", "A") + master_entry(6, "B", "B"));
  EXPECT_TRUE(core::ValidateMaster(master()).sound);
}

TEST_F(MasterFiles, SubPortfolioEntriesAreKeptAndFilled) {
  const auto dir_entry = [](const std::string& name) {
    std::string r(53, '\0');
    testing_support::put_field(r, 7, name);
    r.replace(18, 5, "<DIR>");
    return r;
  };
  write(master_header(4) + dir_entry("TECH") + master_entry(1, "A", "A") + dir_entry("BANKS") +
        std::string(53, '\0'));
  std::string problem;
  EXPECT_TRUE(core::CheckFileNumbers(master()));  // two entries of number 0, both "<DIR>"
  EXPECT_FALSE(core::CheckSymbols(master(), &problem));
  EXPECT_NE(problem.find("TECH"), std::string::npos) << problem;
  Answers yes(true);
  const auto result = core::RepairMaster(master(), yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_TRUE(yes.reports.empty());
  EXPECT_EQ(result.kept, 3);
  std::string tech = dir_entry("TECH");
  tech.replace(36, 16, tech.substr(7, 16));
  std::string banks = dir_entry("BANKS");
  banks.replace(36, 16, banks.substr(7, 16));
  EXPECT_EQ(bytes(), master_header(3, 4) + tech + master_entry(1, "A", "A") + banks);
  EXPECT_TRUE(core::ValidateMaster(master()).sound);
}

TEST_F(MasterFiles, FailureWhileWritingLeavesMasterUnchanged) {
  const std::string damaged = master_header(12) + ten_records();
  write(damaged);
  for (int step = 0; step < 4; ++step) {
    testing_support::FailingFileSystem files;
    if (step == 0) files.fail_write(3, "MASTER.tmp", 20);
    if (step == 1) files.fail_sync(1, "MASTER.tmp");
    if (step == 2) files.fail_rename(1, "MASTER.tmp");
    if (step == 3) files.fail_create(1, "MASTER.tmp");
    testing_support::InstalledFileSystem installed(files);
    Answers yes(true);
    const auto result = core::RepairMaster(master(), yes);
    EXPECT_EQ(result.outcome, core::RepairOutcome::kFailed) << step;
    EXPECT_FALSE(result.failure.empty());
    EXPECT_EQ(bytes(), damaged) << step;
    EXPECT_FALSE(fs::exists(m_dir.path() / "MASTER.tmp")) << step;
  }
  EXPECT_EQ(read_bytes(m_dir.path() / "MASTER.bak"), damaged);
}

TEST(RealPortfolio, MiningeIsFoundDamagedAndRepairMakesAll25SymbolsList) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  testing_support::TempDir dir;
  const auto copy = testing_support::copy_tree(testing_support::real_portfolio("mininge"),
                                               dir.path() / "mininge");
  const std::string path = (copy / "MASTER").string();
  const auto before = core::ValidateMaster(path);
  ASSERT_TRUE(before.readable);
  EXPECT_FALSE(before.sound);
  Answers yes(true);
  const auto result = core::RepairMaster(path, yes);
  EXPECT_EQ(result.outcome, core::RepairOutcome::kRepaired);
  EXPECT_TRUE(yes.reports.empty());
  EXPECT_EQ(result.kept, 25);
  EXPECT_TRUE(core::ValidateMaster(path).sound);
  const auto listing = core::read_master_rows(path);
  EXPECT_EQ(listing.header_count, 25);
  EXPECT_EQ(listing.rows.size(), 25u);
  qdb::QuoteSeries series;
  ASSERT_EQ(qdb::series_alloc(series, 400), 0);
  for (const auto& row : listing.rows) {
    EXPECT_EQ(row.symbol.find(' '), std::string::npos) << row.symbol;
    EXPECT_EQ(qdb::read_series(series, copy.string() + "/", row.symbol, 0, 400), 0) << row.symbol;
    EXPECT_GT(series.count, 1) << row.symbol;
  }
  qdb::series_free(series);
}

// The question lists what the checks found, the first ten and then how many more.
TEST(RepairConfirmation, ListsTheFirstTenProblemsAndCountsTheRest) {
  const std::string question = core::repair_confirmation_message("/p/MASTER");
  std::vector<std::string> problems;
  for (int i = 1; i <= 12; ++i) problems.push_back("problem " + std::to_string(i));
  EXPECT_EQ(core::repair_confirmation_message("/p/MASTER", {"one"}),
            question + "The checks found:\n- one");
  const std::string listed = core::repair_confirmation_message("/p/MASTER", problems);
  EXPECT_NE(listed.find("\n- problem 10\n- and 2 more problems (dorvane-cli check lists them "
                        "all)"),
            std::string::npos)
      << listed;
  EXPECT_EQ(listed.find("problem 11"), std::string::npos);
}

}  // namespace
