// A portfolio whose MASTER and XMASTER list one symbol three times: every command taking a KEY
// refuses the ambiguous KEY with the entries listed, --file-number picks one and only that
// entry's file changes; renaming, copying or moving onto a symbol that is already there is
// refused with the other entry named.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/portfolio_builder.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::bars_from;
using testing_support::files_in;
using testing_support::read_bytes;
using testing_support::run_cli;

namespace {

// dup: F1 CL, F2 GC, F3 CL (one day longer than the others) and F256 CL (in the XMASTER).
// dest: F1 GC. free: empty.
class DuplicateSymbolCli : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::make_portfolio(dup(), {{1, "CL", "CRUDE OIL", bars_from(10)},
                                            {2, "GC", "GOLD", bars_from(20)},
                                            {3, "CL", "CL SECOND", bars_from(30, 7)},
                                            {256, "CL", "CL EXTENDED", bars_from(40)}});
    testing_support::make_portfolio(dest(), {{1, "GC", "GOLD FUTURE", bars_from(50)}});
    testing_support::make_portfolio(free(), {});
  }
  std::string dup() const { return m_temp.dir() + "dup"; }
  std::string dest() const { return m_temp.dir() + "dest"; }
  std::string free() const { return m_temp.dir() + "free"; }
  std::string quotes_of(const std::string& dir, const std::string& key) {
    const auto result = run_cli({"quotes", dir, key});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    return result.out;
  }

  testing_support::TempDir m_temp;
};

TEST_F(DuplicateSymbolCli, AnAmbiguousKeyIsRefusedAndFileNumberPicksOneEntry) {
  const auto listing_of = [this](const std::string& key) {
    return key + " names 3 entries of the MASTER of " + dup() +
           ":\n  F1 CL (CRUDE OIL)\n  F3 CL (CL SECOND)\n  F256 CL (CL EXTENDED)\nChoose one "
           "with --file-number N.\n";
  };
  const std::string listing = listing_of("CL");
  // Read by its unique issue name, each entry's quotes as today.
  const std::string second = quotes_of(dup(), "CL SECOND");
  const std::string extended = quotes_of(dup(), "CL EXTENDED");
  ASSERT_NE(second, extended);

  struct Case {
    std::vector<std::string> args;  // DIR follows the command's name
    int exit_code;
    std::string err;                // exactly, when out is checked; else the start of stderr
    std::string out;                // "*": not checked
    std::set<std::string> changed;  // the files whose bytes change (or appear, or go)
  };
  const std::vector<Case> cases = {
      {{"quotes", "CL"}, 2, "dorvane-cli quotes: " + listing, "*", {}},
      {{"facts", "cl"}, 2, "dorvane-cli facts: " + listing_of("cl"), "*", {}},
      {{"edit-quote", "CL", "01/04/00", "--close", "9"},
       2,
       "dorvane-cli edit-quote: " + listing,
       "*",
       {}},
      {{"delete-symbol", "CL"}, 2, "dorvane-cli delete-symbol: " + listing, "*", {}},
      {{"copy-symbol", "CL", "FREE"}, 2, "dorvane-cli copy-symbol: " + listing, "*", {}},
      {{"quotes", "CL", "--file-number", "3"}, 0, "", second, {}},
      {{"quotes", "CL", "--file-number=256"}, 0, "", extended, {}},
      {{"quotes", "CL", "--file-number", "2"},
       1,
       "dorvane-cli quotes: no entry with file number 2 is named CL in the MASTER of " + dup() +
           "\n",
       "",
       {}},
      {{"quotes", "CL", "--file-number", "x3"},
       2,
       "dorvane-cli quotes: --file-number takes a file number (1 and up), not 'x3'\n",
       "*",
       {}},
      // A unique key reads and writes as it always did.
      {{"quotes", "GC"}, 0, "", "*", {}},
      {{"edit-quote", "GC", "01/04/00", "--close", "9"}, 0, "", "", {"F2.DAT", "F2.BAK"}},
      {{"edit-quote", "CL", "01/04/00", "--close", "9", "--file-number", "3"},
       0,
       "",
       "",
       {"F3.DAT", "F3.BAK"}},
      {{"edit-quote", "CL", "01/04/00", "--close", "9", "--file-number", "256"},
       0,
       "",
       "",
       {"F256.MWD", "F256.BAK"}},
      {{"delete-symbol", "CL", "--file-number", "3"}, 0, "", "", {"MASTER", "F3.DAT", "F3.DOP"}},
      // A date only F3 holds, its newest: found in F3, and F3's MASTER last date follows.
      {{"delete-quote", "CL", "01/07/00", "--file-number", "3"},
       0,
       "",
       "",
       {"F3.DAT", "F3.BAK", "MASTER", "MASTER.BAK"}},
      {{"rename-symbol", "CL", "CLX", "--file-number", "3"}, 0, "", "", {"MASTER", "MASTER.BAK"}},
      // Renaming onto a symbol another entry has: refused, that entry named.
      {{"rename-symbol", "GC", "cl"},
       1,
       "Symbol cl already exists in\n" + dup() +
           "\nas F1 CL (CRUDE OIL).\nChoose a different symbol.\n",
       "",
       {}},
      {{"rename-symbol", "CL", "GC", "--file-number", "256"},
       1,
       "Symbol GC already exists in\n" + dup() + "\nas F2 GC (GOLD).\nChoose a different symbol.\n",
       "",
       {}},
      // The name of one of the duplicates can change: its symbol stays its own.
      {{"rename-symbol", "CL", "CL", "--name", "SECOND", "--file-number", "3"},
       0,
       "",
       "",
       {"MASTER", "MASTER.BAK"}},
  };
  for (const Case& c : cases) {
    std::string trace;
    for (const std::string& word : c.args) trace += word + " ";
    SCOPED_TRACE(trace);
    const auto before = files_in(dup());
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, dup());
    for (std::string& word : args)
      if (word == "FREE") word = free();
    const auto result = run_cli(args);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err;
    if (c.out != "*") {
      EXPECT_EQ(result.out, c.out);
      EXPECT_EQ(result.err, c.err);
    } else {
      EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
    }
    const auto after = files_in(dup());
    std::set<std::string> changed;
    for (const auto& [name, bytes] : before)
      if (!after.count(name) || after.at(name) != bytes) changed.insert(name);
    for (const auto& [name, bytes] : after)
      if (!before.count(name)) changed.insert(name);
    EXPECT_EQ(changed, c.changed);
    // Each case starts from the same portfolio.
    fs::remove_all(dup());
    SetUp();
  }
}

TEST_F(DuplicateSymbolCli, CopyAndMoveOntoASymbolThereAreRefusedAndFileNumberMovesThatEntry) {
  const auto dest_before = files_in(dest());
  const auto refused = run_cli({"copy-symbol", dup(), "GC", dest()});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err, "The Symbol addition failed.\n\nReason: Symbol GC already exists in\n" +
                             dest() + "\nas F1 GC (GOLD FUTURE).\n");
  EXPECT_EQ(run_cli({"move-symbol", dup(), "GC", dest()}).err, refused.err);
  EXPECT_EQ(files_in(dest()), dest_before);
  // Held by a sub-portfolio of the destination: that one is named too.
  const std::string outer = m_temp.dir() + "outer";
  testing_support::make_portfolio(outer + "/SUB", {{1, "GC", "GOLD SUB", bars_from(60)}});
  testing_support::make_portfolio(outer, {});
  ASSERT_TRUE(qdb::append_master_record(outer, qdb::make_directory_record("SUB")));
  EXPECT_EQ(run_cli({"copy-symbol", dup(), "GC", outer}).err,
            "The Symbol addition failed.\n\nReason: Symbol GC already exists in\n" + outer +
                "\nas F1 GC (GOLD SUB) in\n" + outer + "/SUB.\n");

  const std::string third = read_bytes(fs::path(dup()) / "F3.DAT");
  const auto moved = run_cli({"move-symbol", dup(), "CL", free(), "--file-number", "3"});
  ASSERT_EQ(moved.exit_code, 0) << moved.err;
  EXPECT_EQ(moved.out, "F1\n");
  EXPECT_EQ(read_bytes(fs::path(free()) / "F1.DAT"), third);
  EXPECT_FALSE(fs::exists(fs::path(dup()) / "F3.DAT"));
  EXPECT_TRUE(fs::exists(fs::path(dup()) / "F1.DAT"));
  // Now in free, CL is there: another CL is refused, naming the one moved.
  const auto again = run_cli({"copy-symbol", dup(), "CL", free(), "--file-number", "1"});
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_EQ(again.err, "The Symbol addition failed.\n\nReason: Symbol CL already exists in\n" +
                           free() + "\nas F1 CL (CL SECOND).\n");
}

}  // namespace
