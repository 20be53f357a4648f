// The commands against another command holding the portfolio, files that can't be deleted
// and a repair whose backup can't be made.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "command_fixture.h"
#include "core/delete_quote.h"
#include "core/delete_symbol.h"
#include "core/edit_quote.h"
#include "core/index_agreement.h"
#include "core/master_dates.h"
#include "core/master_image.h"
#include "core/master_repair.h"
#include "core/portfolio_repair.h"
#include "core/rename_symbol.h"
#include "core/transfer_symbol.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_lock.h"
#include "support/failing_file_system.h"
#include "support/hooked_file_system.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using command_testing::sample_bars;
using testing_support::FailingFileSystem;
using testing_support::files_in;
using testing_support::InstalledFileSystem;
using testing_support::make_portfolio;
using testing_support::read_bytes;
using testing_support::TempDir;

namespace {

using Files = std::map<std::string, std::string>;

class YesToAll : public core::RepairObserver {
 public:
  bool confirm(const std::string&) override { return true; }
  void report_dropped(const std::string&) override {}
};

// Two portfolios: P with TEST (F1) and OTHER (F2), Q with QQQ (F1).
class TwoPortfolios : public ::testing::Test {
 protected:
  void SetUp() override {
    make_portfolio(p(), {{1, "TEST", "TEST ISSUE", sample_bars()},
                         {2, "OTHER", "OTHER ISSUE", sample_bars()}});
    make_portfolio(q(), {{1, "QQQ", "Q ISSUE", sample_bars()}});
  }
  std::string p() const { return (m_temp.path() / "P").string(); }
  std::string q() const { return (m_temp.path() / "Q").string(); }
  std::string p_master() const { return p() + "/MASTER"; }
  TempDir m_temp;
};

// While another holder keeps a portfolio, every command that changes it waits a while, then
// fails saying so, and changes nothing.
TEST_F(TwoPortfolios, ACommandThatCannotGetTheLockChangesNothing) {
  const auto previous = qdb::set_lock_timeout(std::chrono::milliseconds(100));
  const core::ViewState view = command_testing::view_of(p(), "TEST");
  core::EditQuoteEntry edit;
  edit.date_text = "01/04/00";
  for (auto& field : edit.fields) field = {"", true};
  edit.fields[3] = {"9", false};
  YesToAll yes;
  const std::pair<const char*, std::function<std::string()>> commands[] = {
      {"edit quote", [&] { return core::edit_quote(view, edit).messages.at(0); }},
      {"delete quote", [&] { return core::delete_quote(view, "12/29/99").messages.at(0); }},
      {"rename",
       [&] { return core::rename_symbol(p_master(), "TEST", "NEW", "N").messages.at(0); }},
      {"delete symbol",
       [&] { return core::delete_symbol(p(), p_master(), "OTHER").messages.at(0); }},
      {"copy in",
       [&] {
         return core::transfer_symbol(q(), "QQQ", p(), core::TransferMode::Copy).messages.at(0);
       }},
      {"move out",
       [&] {
         return core::transfer_symbol(p(), "TEST", q(), core::TransferMode::Move).messages.at(0);
       }},
      {"repair", [&] { return core::RepairMaster(p_master(), yes, true).failure; }},
      {"dates", [&] { return core::correct_master_dates(p_master(), true).failure; }},
  };
  const Files before = files_in(p());
  std::atomic<bool> held{false}, done{false};
  std::thread holder([&] {
    const qdb::PortfolioLock lock({p()});
    held = lock.locked();
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  for (const auto& [what, run] : commands) {
    SCOPED_TRACE(what);
    EXPECT_NE(run().find(p() + " is being changed by another Dorvane command"), std::string::npos);
    EXPECT_EQ(files_in(p()), before);
  }
  done = true;
  holder.join();
  qdb::set_lock_timeout(previous);
  // Free again, the commands work; a thread holding the lock may take it again.
  const qdb::PortfolioLock mine({p()});
  EXPECT_TRUE(core::rename_symbol(p_master(), "TEST", "NEW", "N").ok);
}

// The listings a symbol deletion takes of its portfolio: the index files', the transaction's,
// and the one its files are deleted by.
constexpr int kFilesListing = 3;

// A data, layout or backup file that stays after its record left the MASTER makes the command
// fail naming it; one that is not there is no failure, even when the files' listing fails.
TEST_F(TwoPortfolios, AFileThatCannotBeDeletedIsAFailureNamingIt) {
  struct Case {
    const char* what;
    bool move;
    std::function<void(FailingFileSystem&)> arm;
    const char* left;  // the file named, nullptr for a success
  };
  const Case cases[] = {
      {"data file", false, [](FailingFileSystem& f) { f.fail_remove(1, "F2.DAT"); }, "F2.DAT"},
      {"layout file", false, [](FailingFileSystem& f) { f.fail_remove(1, "F2.DOP"); }, "F2.DOP"},
      {"unlisted", false, [](FailingFileSystem& f) { f.fail_list(kFilesListing, "P"); }, nullptr},
      {"unlisted and stuck", false,
       [](FailingFileSystem& f) {
         f.fail_list(kFilesListing, "P");
         f.fail_remove(1, "F2.DAT");
       },
       "F2.DAT"},
      {"moved data file", true, [](FailingFileSystem& f) { f.fail_remove(1, "P/F2.DAT"); },
       "F2.DAT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    fs::remove_all(p());
    fs::remove_all(q());
    SetUp();
    FailingFileSystem files;
    c.arm(files);
    core::CommandResult result;
    {
      InstalledFileSystem installed(files);
      result = c.move ? core::transfer_symbol(p(), "OTHER", q(), core::TransferMode::Move)
                      : core::delete_symbol(p(), p_master(), "OTHER");
    }
    ASSERT_GT(files.failures(), 0);
    if (c.left == nullptr) {
      EXPECT_TRUE(result.ok);
      EXPECT_FALSE(fs::exists(fs::path(p()) / "F2.DAT"));
      continue;
    }
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0], "The symbol's MASTER record is gone, but the file\n" + p() + "/" +
                                      c.left + "\ncould not be deleted: Input/output error");
  }
}

// A repair that cannot keep either backup stops with the MASTER as it was.
TEST_F(TwoPortfolios, ARepairWithoutItsBackupChangesNothing) {
  std::string damaged = read_bytes(p_master());
  damaged[0] = 9;
  testing_support::write_bytes(p_master(), damaged);
  const std::pair<const char*, std::function<void(FailingFileSystem&)>> steps[] = {
      {"MASTER.bak create", [](FailingFileSystem& f) { f.fail_create(1, "MASTER.bak"); }},
      {"MASTER.bak write", [](FailingFileSystem& f) { f.fail_write(1, "MASTER.bak", 7); }},
      {"MASTER.bak rename", [](FailingFileSystem& f) { f.fail_rename(1, "MASTER.bak"); }},
      {"MASTER read", [](FailingFileSystem& f) { f.fail_read(1, "MASTER"); }},
      {"repair backup create", [](FailingFileSystem& f) { f.fail_create(1, "repair1"); }},
      {"repair backup sync", [](FailingFileSystem& f) { f.fail_sync(1, "repair1"); }},
  };
  for (const auto& [what, arm] : steps) {
    SCOPED_TRACE(what);
    FailingFileSystem files;
    arm(files);
    YesToAll yes;
    core::RepairResult result;
    {
      InstalledFileSystem installed(files);
      result = core::RepairMaster(p_master(), yes, true);
    }
    EXPECT_EQ(files.failures(), 1);
    EXPECT_EQ(result.outcome, core::RepairOutcome::kFailed);
    EXPECT_NE(result.failure.find("the MASTER file was left unchanged"), std::string::npos)
        << result.failure;
    EXPECT_EQ(read_bytes(p_master()), damaged);
    EXPECT_FALSE(fs::exists(fs::path(p()) / "MASTER.repair1.bak"));
    fs::remove(fs::path(p()) / "MASTER.bak");
  }
}

// The newest of the sample quotes (January 5, 2000), as typed.
constexpr const char* kNewestQuote = "01/05/00";

// An EMASTER agreeing with the MASTER at dir: one entry per record, counted.
void write_emaster(const fs::path& dir) {
  const auto image = core::read_master_image((dir / "MASTER").string());
  ASSERT_TRUE(image);
  std::string bytes(qdb::kEmasterRecordSize, '\0');
  bytes[0] = bytes[2] = static_cast<char>(image->records.size());
  for (const qdb::MasterRecord& record : image->records) {
    std::string entry(qdb::kEmasterRecordSize, '\0');
    qdb::fill_emaster_entry(reinterpret_cast<std::uint8_t*>(entry.data()), record,
                            record.file_number(), {});
    bytes += entry;
  }
  testing_support::write_bytes(dir / "EMASTER", bytes);
}

// Whichever listing of the portfolio fails, a symbol command changes every index file or
// none, and leaves no data file behind its deleted record without saying so: a directory that
// can't be listed is never taken for one without an EMASTER, a backup or a data file.
TEST_F(TwoPortfolios, AFailedListingIsNeverTakenForAnEmptyDirectory) {
  YesToAll yes;
  struct Command {
    const char* what;
    bool removes_f2;  // the command deletes OTHER's F2.DAT from P
    std::function<core::CommandResult()> run;
  };
  const Command commands[] = {
      {"rename", false, [&] { return core::rename_symbol(p_master(), "TEST", "NEW", "N"); }},
      {"delete", true, [&] { return core::delete_symbol(p(), p_master(), "OTHER"); }},
      {"move", true,
       [&] { return core::transfer_symbol(p(), "OTHER", q(), core::TransferMode::Move); }},
      {"delete newest quote", false,
       [&] { return core::delete_quote(command_testing::view_of(p(), "TEST"), kNewestQuote); }},
      {"repair", false,
       [&] {
         core::CommandResult result;
         result.ok =
             core::RepairMaster(p_master(), yes, true).outcome == core::RepairOutcome::kRepaired;
         return result;
       }},
  };
  int failed_runs = 0;
  for (const Command& command : commands) {
    for (int nth = 1; nth <= 6; ++nth) {
      SCOPED_TRACE(std::string(command.what) + ", listing " + std::to_string(nth));
      TearDown();
      fs::remove_all(p());
      fs::remove_all(q());
      SetUp();
      write_emaster(p());
      // Backups of an earlier repair, which no later repair may replace.
      testing_support::write_bytes(fs::path(p()) / "MASTER.bak", "first");
      testing_support::write_bytes(fs::path(p()) / "MASTER.repair1.bak", "second");
      const Files before = files_in(p());
      FailingFileSystem files;
      files.fail_list(nth, "P");
      core::CommandResult result;
      {
        InstalledFileSystem installed(files);
        result = command.run();
      }
      // (MASTER.bak is MASTER.BAK without regard to case: only the repair keeps it.)
      if (std::string(command.what) == "repair") {
        EXPECT_EQ(read_bytes(fs::path(p()) / "MASTER.bak"), "first");
      }
      EXPECT_EQ(read_bytes(fs::path(p()) / "MASTER.repair1.bak"), "second");
      EXPECT_EQ(core::find_index_disagreements(p_master()), std::vector<std::string>());
      if (files.failures() == 0) break;
      if (!result.ok) ++failed_runs;
      if (!command.removes_f2) continue;
      const bool record_gone = read_bytes(p_master()) != before.at("MASTER");
      if (result.ok) {
        EXPECT_FALSE(fs::exists(fs::path(p()) / "F2.DAT"));
      } else if (record_gone && fs::exists(fs::path(p()) / "F2.DAT")) {
        ASSERT_FALSE(result.messages.empty());
        EXPECT_NE(result.messages.back().find("F2.DAT"), std::string::npos)
            << result.messages.back();
      }
    }
  }
  EXPECT_GT(failed_runs, 5);
}

// A directory that exists but does not open for reading is not changed unlocked: the lock
// fails, naming it. One that does not exist holds nothing to lock.
TEST(PortfolioLock, ADirectoryThatDoesNotOpenIsNotLocked) {
  TempDir temp;
  const fs::path loop = temp.path() / "loop", closed = temp.path() / "closed";
  fs::create_symlink(loop, loop);
  fs::create_directory(closed);
  fs::permissions(closed, fs::perms::owner_write | fs::perms::owner_exec);
  std::error_code denied;
  fs::directory_iterator(closed, denied);
  const bool root_reads = !denied;  // privileges that read any directory
  for (const fs::path& dir : {loop, closed}) {
    if (dir == closed && root_reads) continue;
    SCOPED_TRACE(dir.string());
    const qdb::PortfolioLock lock({dir.string() + "/"});
    EXPECT_FALSE(lock.locked());
    EXPECT_EQ(lock.failure().rfind(dir.string() + " could not be locked: ", 0), 0u)
        << lock.failure();
  }
  fs::permissions(closed, fs::perms::owner_all);
  EXPECT_TRUE(qdb::PortfolioLock({(temp.path() / "absent/").string()}).locked());
}

// A directory sync that fails after the files took their places is a failure saying the change
// is in place but not confirmed: the files are the new ones.
TEST_F(TwoPortfolios, ADirectorySyncThatFailsAfterTheChangeIsReported) {
  testing_support::HookedFileSystem hooked(qdb::native_file_system());
  hooked.fail_directory_sync(2);  // the commit's, after the sync of the MASTER.BAK copy
  core::CommandResult result;
  {
    InstalledFileSystem installed(hooked);
    result = core::rename_symbol(p_master(), "TEST", "NEW", "N");
  }
  EXPECT_EQ(hooked.failures(), 1);
  EXPECT_FALSE(result.ok);
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(
      result.messages[0].rfind("The change is in place but could not be confirmed on disk.\n", 0),
      0u)
      << result.messages[0];
  EXPECT_NE(read_bytes(p_master()).find("NEW"), std::string::npos);
}

// A move into a full MASTER (so into the XMASTER) whose source then can't be rewritten is undone
// to the last byte: the destination's XMASTER with its next file number, and the backups the
// addition replaced.
TEST_F(TwoPortfolios, AMoveUndoneRestoresEveryByteOfTheDestination) {
  fs::remove_all(q());
  make_portfolio(q(),
                 {{1, "QQQ", "Q ISSUE", sample_bars()}, {256, "XXX", "X ISSUE", sample_bars()}});
  std::string master = read_bytes(fs::path(q()) / "MASTER");
  master[2] = static_cast<char>(255);  // the second counter: no number left below 256
  testing_support::write_bytes(fs::path(q()) / "MASTER", master);
  testing_support::write_bytes(fs::path(q()) / "XMASTER.BAK", "an older backup");
  const Files before_p = files_in(p()), before_q = files_in(q());
  FailingFileSystem files;
  files.fail_create(1, "P/MASTER");
  core::TransferResult result;
  {
    InstalledFileSystem installed(files);
    result = core::transfer_symbol(p(), "OTHER", q(), core::TransferMode::Move);
  }
  EXPECT_EQ(files.failures(), 1);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(files_in(q()), before_q);
  EXPECT_EQ(files_in(p()), before_p);
}

// A repair that rebuilds the MASTER and then fails to correct its dates says what it did: a
// failure that says the MASTER was left unchanged is true.
TEST_F(TwoPortfolios, ARepairThatFailsPartWaySaysWhatItChanged) {
  std::string damaged = read_bytes(p_master());
  damaged[0] = 9;
  const qdb::MbfReal stale = qdb::date_to_mbf(qdb::date_serial(1999, 12, 1));
  damaged.replace(53 + 25, 4, reinterpret_cast<const char*>(stale.bytes), 4);
  int failed_after_rebuild = 0;
  for (int nth = 1; nth <= 8; ++nth) {
    SCOPED_TRACE("rename " + std::to_string(nth));
    TearDown();
    fs::remove_all(p());
    fs::remove_all(q());
    SetUp();
    testing_support::write_bytes(p_master(), damaged);
    FailingFileSystem files;
    files.fail_rename(nth);
    YesToAll yes;
    core::PortfolioRepairResult result;
    {
      InstalledFileSystem installed(files);
      result = core::repair_portfolio(p_master(), yes, true);
    }
    if (files.failures() == 0) break;
    if (result.outcome == core::PortfolioRepairOutcome::kRepaired) continue;
    const bool unchanged = read_bytes(p_master()) == damaged;
    if (result.failure.find("the MASTER file was left unchanged") != std::string::npos) {
      EXPECT_TRUE(unchanged) << result.failure;
    }
    if (!unchanged) {
      ++failed_after_rebuild;
      EXPECT_TRUE(result.master_rebuilt) << result.failure;
    }
  }
  EXPECT_GT(failed_after_rebuild, 0);
}

}  // namespace
