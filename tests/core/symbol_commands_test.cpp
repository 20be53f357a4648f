#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/delete_symbol.h"
#include "core/rename_symbol.h"
#include "support/failing_file_system.h"
#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::master_entry;
using testing_support::master_header;
using testing_support::names_in;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

std::vector<std::string> one(const std::string& text) { return {text}; }

std::string with_symbol(std::string record, const std::string& symbol_bytes) {
  record.replace(36, 16, symbol_bytes);
  return record;
}

// Runs action under each single failing step (the nth create, write, sync, close, rename of
// any file) until the step is past the end of the operation; check sees the outcome.
void for_each_failing_step(
    const std::function<void()>& prepare, const std::function<core::CommandResult()>& action,
    const std::function<void(const core::CommandResult&, bool failed)>& check) {
  for (const char* kind : {"create", "write", "sync", "close", "rename"}) {
    for (int nth = 1; nth < 50; ++nth) {
      prepare();
      testing_support::FailingFileSystem files;
      files.fail_step(kind, nth, 3);
      core::CommandResult result;
      {
        testing_support::InstalledFileSystem installed(files);
        result = action();
      }
      SCOPED_TRACE(std::string(kind) + " #" + std::to_string(nth));
      check(result, files.failures() > 0);
      if (files.failures() == 0) break;
    }
  }
}

class RenameSymbol : public ::testing::Test {
 protected:
  void SetUp() override { write(); }
  void write() {
    write_bytes(m_temp.path() / "MASTER", m_before);
    fs::remove(m_temp.path() / "MASTER.BAK");
  }
  std::string master_path() const { return m_temp.dir() + "MASTER"; }
  std::string master() const { return read_bytes(m_temp.path() / "MASTER"); }

  TempDir m_temp;
  // File order differs from the grid's sorted order.
  std::string m_before = master_header(3) + master_entry(1, "ZED CORP", "ZED") +
                         master_entry(2, "ABC INC", "ABC") + master_entry(3, "MID LTD", "MID");
};

TEST_F(RenameSymbol, RewritesTheShownRecordsTwoFieldsAndKeepsABackup) {
  const core::CommandResult result = core::rename_symbol(master_path(), "ABC", "abc x", "New Name");
  ASSERT_TRUE(result.ok);
  std::string expected = m_before;
  testing_support::put_field(expected, 53 * 2 + 7, "New Name");
  testing_support::put_field(expected, 53 * 2 + 36, "abc x");
  EXPECT_EQ(master(), expected);
  EXPECT_EQ(read_bytes(m_temp.path() / "MASTER.BAK"), m_before);
  EXPECT_EQ(names_in(m_temp.path()), (std::vector<std::string>{"MASTER", "MASTER.BAK"}));

  // Sixteen characters fill the field with no blank; an empty name is sixteen blanks.
  ASSERT_TRUE(core::rename_symbol(master_path(), "ZED", "ABCDEFGHIJKLMNOP", "").ok);
  EXPECT_EQ(master().substr(53 + 36, 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(master().substr(53 + 7, 16), std::string(16, ' '));
}

TEST_F(RenameSymbol, ARowShownByItsIssueNameIsFound) {
  m_before = master_header(1) + with_symbol(master_entry(4, "APX", ""), std::string(16, ' '));
  write();
  // The grid shows the whole name field, trailing blanks included.
  EXPECT_FALSE(core::rename_symbol(master_path(), "APX", "APX", "APEX").ok);
  ASSERT_TRUE(core::rename_symbol(master_path(), "APX             ", "APX", "APEX").ok);
  EXPECT_EQ(master().substr(53 + 36, 16), "APX             ");
}

TEST_F(RenameSymbol, RefusesWithoutTouchingAnything) {
  EXPECT_EQ(core::rename_symbol(master_path(), "ABC", "", "x").messages,
            one("You must enter a symbol"));
  EXPECT_FALSE(core::rename_symbol(master_path(), "ABC", "SEVENTEEN_CHARS_X", "x").ok);
  const core::CommandResult missing = core::rename_symbol(master_path(), "NOPE", "X", "x");
  EXPECT_FALSE(missing.ok);
  ASSERT_EQ(missing.messages.size(), 1u);
  EXPECT_NE(missing.messages[0].find("NOPE"), std::string::npos);
  EXPECT_EQ(master(), m_before);
  EXPECT_EQ(names_in(m_temp.path()), std::vector<std::string>{"MASTER"});
}

TEST(RenameSymbolNames, ReusesTheLowerCaseNamesOfAPortfolio) {
  TempDir temp;
  const std::string before = master_header(1) + master_entry(1, "ABC INC", "ABC");
  write_bytes(temp.path() / "master", before);
  write_bytes(temp.path() / "master.bak", "old backup");
  ASSERT_TRUE(core::rename_symbol(temp.dir() + "MASTER", "ABC", "XYZ", "X").ok);
  EXPECT_EQ(names_in(temp.path()), (std::vector<std::string>{"master", "master.bak"}));
  EXPECT_EQ(read_bytes(temp.path() / "master.bak"), before);
}

TEST_F(RenameSymbol, AFailureAtAnyStepLeavesTheMasterAsItWas) {
  for_each_failing_step([&] { write(); },
                        [&] { return core::rename_symbol(master_path(), "MID", "NEW", "N"); },
                        [&](const core::CommandResult& result, bool failed) {
                          EXPECT_EQ(result.ok, !failed);
                          if (failed) {
                            EXPECT_EQ(master(), m_before);
                            EXPECT_FALSE(result.messages.empty());
                          }
                          for (const std::string& name : names_in(m_temp.path()))
                            EXPECT_TRUE(name == "MASTER" || name == "MASTER.BAK") << name;
                        });
}

class DeleteSymbol : public ::testing::Test {
 protected:
  void SetUp() override { write(); }
  void write() {
    for (const auto& name : names_in(m_temp.path())) fs::remove(m_temp.path() / name);
    write_bytes(m_temp.path() / "MASTER", m_before);
    for (int n = 1; n <= 5; ++n) {
      write_bytes(m_temp.path() / ("F" + std::to_string(n) + ".DAT"), "data" + std::to_string(n));
      write_bytes(m_temp.path() / ("F" + std::to_string(n) + ".DOP"), "layout");
    }
    write_bytes(m_temp.path() / "F3.BAK", "backup");
  }
  core::CommandResult run(const std::string& symbol) {
    return core::delete_symbol(m_temp.dir(), m_temp.dir() + "MASTER", symbol);
  }
  std::string master() const { return read_bytes(m_temp.path() / "MASTER"); }
  bool has(const std::string& name) const { return fs::exists(m_temp.path() / name); }

  TempDir m_temp;
  std::string m_before = master_header(5) + master_entry(1, "ONE", "ABCD") +
                         master_entry(2, "TWO", "TWO") + master_entry(3, "THREE", "ABC") +
                         master_entry(4, "FOUR", "FOUR") + master_entry(5, "FIVE", "FIVE");
};

TEST_F(DeleteSymbol, DropsTheRecordAndItsFilesOnly) {
  ASSERT_TRUE(run("ABC").ok);
  const std::string expected =
      master_header(4) + m_before.substr(53, 106) + m_before.substr(53 * 4, 106);
  EXPECT_EQ(master(), expected);
  EXPECT_FALSE(has("F3.DAT") || has("F3.DOP") || has("F3.BAK"));
  for (const char* kept : {"F1.DAT", "F2.DAT", "F4.DAT", "F5.DAT", "F5.DOP"})
    EXPECT_TRUE(has(kept));
}

TEST_F(DeleteSymbol, MatchesTheWholeCutSymbolWithCase) {
  const core::CommandResult lower = run("abc");
  EXPECT_FALSE(lower.ok);
  ASSERT_EQ(lower.messages.size(), 1u);
  EXPECT_NE(lower.messages[0].find("abc"), std::string::npos);
  EXPECT_FALSE(run("AB").ok);
  EXPECT_EQ(master(), m_before);
  EXPECT_TRUE(has("F3.DAT"));
}

TEST_F(DeleteSymbol, TheOnlySymbolLeavesAnEmptyPortfolio) {
  m_before = master_header(1) + master_entry(3, "THREE", "ABC");
  write();
  ASSERT_TRUE(run("ABC").ok);
  EXPECT_EQ(master(), master_header(0));
}

TEST_F(DeleteSymbol, OneOfTwoEqualSymbolsGoesAndSharedFilesStay) {
  m_before = master_header(3) + master_entry(2, "FIRST", "DUP") + master_entry(4, "SECOND", "DUP") +
             master_entry(2, "SHARES F2", "OTHER");
  write();
  const core::CommandResult result = run("DUP");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(master(), master_header(2) + m_before.substr(106, 106));
  EXPECT_TRUE(has("F2.DAT"));  // still used by OTHER
  EXPECT_EQ(result.messages.size(), 1u);
}

TEST_F(DeleteSymbol, AFailureAtAnyStepLosesNothing) {
  for_each_failing_step([&] { write(); }, [&] { return run("ABC"); },
                        [&](const core::CommandResult& result, bool failed) {
                          EXPECT_EQ(result.ok, !failed);
                          if (failed) {
                            EXPECT_EQ(master(), m_before);
                            EXPECT_TRUE(has("F3.DAT"));
                          }
                          EXPECT_FALSE(has("MASTER.~NU"));
                        });
}

}  // namespace
