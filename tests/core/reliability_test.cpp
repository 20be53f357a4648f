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
#include "core/master_dates.h"
#include "core/master_repair.h"
#include "core/rename_symbol.h"
#include "core/transfer_symbol.h"
#include "qdb/portfolio_lock.h"
#include "support/failing_file_system.h"
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

// A data, layout or backup file that stays after its record left the MASTER makes the command
// fail naming it; one that is not there is no failure, even when the directory can't be
// listed.
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
      {"unlisted", false, [](FailingFileSystem& f) { f.fail_list(FailingFileSystem::kEvery, "P"); },
       nullptr},
      {"unlisted and stuck", false,
       [](FailingFileSystem& f) {
         f.fail_list(FailingFileSystem::kEvery, "P");
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

}  // namespace
