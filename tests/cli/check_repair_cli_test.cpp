#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_run.h"
#include "support/master_bytes.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::run_cli;

namespace {

TEST(CheckAndRepairCommands, MiningeIsDamagedThenRepairedThenSound) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  testing_support::TempDir dir;
  const auto copy =
      testing_support::copy_tree(testing_support::real_portfolio("mininge"), dir.path() / "m");
  const std::string original = read_bytes(copy / "MASTER");

  auto result = run_cli({"check", copy.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.out.find("blank symbol"), std::string::npos) << result.out;
  EXPECT_EQ(read_bytes(copy / "MASTER"), original);

  result = run_cli({"repair", copy.string()});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(read_bytes(copy / "MASTER.bak"), original);
  EXPECT_EQ(read_bytes(copy / "MASTER").size(), 26u * 53u);

  result = run_cli({"check", copy.string()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "sound\n");

  // A sound file is left alone.
  const auto time_before = fs::last_write_time(copy / "MASTER");
  result = run_cli({"repair", copy.string()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("sound"), std::string::npos);
  EXPECT_EQ(fs::last_write_time(copy / "MASTER"), time_before);
}

TEST(CheckAndRepairCommands, RepairPrintsEachReportOnStdout) {
  testing_support::TempDir dir;
  using testing_support::master_entry;
  testing_support::write_bytes(dir.path() / "MASTER",
                               testing_support::master_header(3) + master_entry(3, "ONE", "A") +
                                   master_entry(5, "TWO", "B") + master_entry(3, "THREE", "C"));
  const auto result = run_cli({"repair", dir.path().string()});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_NE(
      result.out.find(
          "An error was found with the item named\n\nTHREE           \nor\nC               \n\n"
          "This item is file F3.DAT\n"),
      std::string::npos)
      << result.out;
}

TEST(CheckAndRepairCommands, UnreadableMasterAndUsage) {
  testing_support::TempDir dir;
  EXPECT_EQ(run_cli({"check", dir.path().string()}).exit_code, 2);
  EXPECT_EQ(run_cli({"repair", dir.path().string()}).exit_code, 1);
  testing_support::write_bytes(dir.path() / "master", "short");
  EXPECT_EQ(run_cli({"check", dir.path().string()}).exit_code, 2);
  EXPECT_EQ(run_cli({"check"}).exit_code, 2);
  EXPECT_EQ(run_cli({"repair", "a", "b"}).exit_code, 2);
}

}  // namespace

namespace {

// The vendor futures portfolio: a quote deleted from an XMASTER symbol and from a MASTER symbol
// moves the dates its index entries hold, and an EMASTER that disagrees is reported and mended.
TEST(CheckAndRepairCommands, HangSengIndexFilesStayInStepAndAreMended) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  testing_support::TempDir dir;
  const auto copy = testing_support::copy_tree(testing_support::real_portfolio("hangseng-mini"),
                                               dir.path() / "hs");
  for (const auto& entry : fs::directory_iterator(copy))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(run_cli({"check", copy.string()}).out, "sound\n");

  ASSERT_EQ(run_cli({"delete-quote", copy.string(), "HSM__2022M", "06/29/22"}).exit_code, 0);
  ASSERT_EQ(run_cli({"delete-quote", copy.string(), "HSM__2000V", "10/30/00"}).exit_code, 0);
  const auto facts = run_cli({"facts", copy.string(), "HSM__2022M"});
  EXPECT_NE(facts.out.find("Last date in file*\t1220628\n"), std::string::npos) << facts.out;
  // The EMASTER's dates followed the MASTER's.
  EXPECT_EQ(run_cli({"check", copy.string()}).out, "sound\n");

  const std::string sound = read_bytes(copy / "emaster");
  std::string damaged = sound;
  damaged[192 + 11] = 'Q';  // F1's symbol
  {
    std::ofstream out(copy / "emaster", std::ios::binary | std::ios::trunc);
    out << damaged;
  }
  const auto check = run_cli({"check", copy.string()});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_NE(check.out.find("EMASTER entry F1 holds symbol QSM__2000V against the MASTER's "
                           "HSM__2000V"),
            std::string::npos)
      << check.out;
  const auto repaired = run_cli({"repair", copy.string()});
  EXPECT_EQ(repaired.exit_code, 0) << repaired.err;
  EXPECT_TRUE(read_bytes(copy / "emaster") == sound);
  EXPECT_TRUE(read_bytes(copy / "emaster.repair1.bak") == damaged);
  EXPECT_EQ(run_cli({"check", copy.string()}).out, "sound\n");
}

}  // namespace
