#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_fixture.h"
#include "core/transfer_symbol.h"
#include "qdb/master.h"
#include "support/failing_file_system.h"
#include "support/master_bytes.h"
#include "support/portfolio_builder.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using command_testing::sample_bars;
using testing_support::make_portfolio;
using testing_support::read_bytes;
using testing_support::SymbolFixture;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

// The source portfolio holds SRC as F2 (with layout file and backup) beside KEEP as F1;
// the destination holds the symbols given; every symbol has the sample quotes.
class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    build({{1, "D1", "DEST ONE"}, {2, "D2", "DEST TWO"}, {4, "D4", "DEST FOUR"}});
  }

  void build(std::vector<SymbolFixture> dest_symbols, bool source_dop = true) {
    for (const fs::path& dir : {m_source.path(), m_dest.path()})
      for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
    make_portfolio(m_source.dir(), {{1, "KEEP", "KEEP IT", sample_bars()},
                                    {2, "SRC", "SOURCE ISSUE", sample_bars(), 28, source_dop}});
    for (SymbolFixture& symbol : dest_symbols) symbol.bars = sample_bars();
    write_bytes(m_source.path() / "F2.BAK", "an older F2");
    make_portfolio(m_dest.dir(), dest_symbols);
    m_source_master = read_bytes(m_source.path() / "MASTER");
    m_source_data = read_bytes(m_source.path() / "F2.DAT");
    m_dest_master = read_bytes(m_dest.path() / "MASTER");
  }

  core::TransferResult run(bool move, const std::string& symbol = "src") {
    return core::transfer_symbol(m_source.dir(), symbol, dest_text(),
                                 move ? core::TransferMode::Move : core::TransferMode::Copy);
  }
  std::string dest_text() const { return m_dest.path().string(); }
  std::string source_master() const { return read_bytes(m_source.path() / "MASTER"); }
  std::string dest_master() const { return read_bytes(m_dest.path() / "MASTER"); }
  std::string source_record() const { return m_source_master.substr(53 * 2, 53); }
  bool in_dest(const std::string& name) const { return fs::exists(m_dest.path() / name); }
  bool in_source(const std::string& name) const { return fs::exists(m_source.path() / name); }

  // What the destination MASTER holds after the record arrived as F<n>.
  std::string dest_with_record(int n) const {
    std::string expected = m_dest_master;
    expected[0] = static_cast<char>(expected[0] + 1);
    expected[2] = static_cast<char>(expected[2] + 1);
    std::string record = source_record();
    record[0] = static_cast<char>(n);
    return expected + record;
  }

  TempDir m_source, m_dest;
  std::string m_source_master, m_source_data, m_dest_master;
};

TEST_F(Transfer, CopyTakesTheLowestFreeNumberAndLeavesTheSource) {
  const core::TransferResult result = run(false);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.outcome, core::TransferOutcome::kAdded);
  EXPECT_EQ(result.new_file_number, 3);
  EXPECT_EQ(dest_master(), dest_with_record(3));
  EXPECT_EQ(read_bytes(m_dest.path() / "F3.DAT"), m_source_data);
  EXPECT_EQ(read_bytes(m_dest.path() / "F3.DOP"), read_bytes(m_source.path() / "F2.DOP"));
  EXPECT_FALSE(in_dest("F3.BAK"));
  EXPECT_EQ(source_master(), m_source_master);
  EXPECT_TRUE(in_source("F2.DAT") && in_source("F2.DOP") && in_source("F2.BAK"));
}

// The lowest number free of both a MASTER entry and a stray file of any case; the layout file
// travels only when there is one.
TEST_F(Transfer, NumberChoiceAndLayoutFile) {
  write_bytes(m_dest.path() / "f3.dat", "someone's data");
  EXPECT_EQ(run(false).new_file_number, 5);
  EXPECT_EQ(read_bytes(m_dest.path() / "f3.dat"), "someone's data");
  EXPECT_FALSE(in_dest("F3.DAT"));
  build({{1, "A", "A"}, {2, "B", "B"}, {3, "C", "C"}, {4, "D", "D"}, {5, "E", "E"}});
  EXPECT_EQ(run(false).new_file_number, 6);
  build({}, false);
  EXPECT_EQ(run(false, "SRC").new_file_number, 1);
  EXPECT_EQ(dest_master(), dest_with_record(1));
  EXPECT_TRUE(in_dest("F1.DAT"));
  EXPECT_FALSE(in_dest("F1.DOP"));
}

TEST_F(Transfer, MoveRemovesTheSourceRecordAndFilesLast) {
  ASSERT_TRUE(run(true).ok);
  EXPECT_EQ(dest_master(), dest_with_record(3));
  std::string expected = m_source_master.substr(0, 106);
  expected[0] = 1;
  expected[2] = 1;
  EXPECT_EQ(source_master(), expected);
  EXPECT_FALSE(in_source("F2.DAT") || in_source("F2.DOP") || in_source("F2.BAK"));
  EXPECT_TRUE(in_source("F1.DAT"));
  EXPECT_EQ(read_bytes(m_dest.path() / "F3.DAT"), m_source_data);
}

TEST_F(Transfer, RefusalsChangeNothing) {
  // Already there, by symbol or by issue name, in any letter case; the entry there is named.
  const std::pair<std::vector<SymbolFixture>, const char*> dests[] = {
      {{{1, "src", "X"}}, "\nas F1 src (X)."}, {{{1, "X", "Src"}}, "\nas F1 X (Src)."}};
  for (const auto& [dest, named] : dests) {
    build(dest);
    const core::TransferResult result = run(true, " src ");
    EXPECT_EQ(result.outcome, core::TransferOutcome::kExists);
    EXPECT_EQ(result.messages,
              std::vector<std::string>{"The Symbol addition failed.\n\nReason: Symbol SRC already "
                                       "exists in\n" +
                                       dest_text() + named});
    EXPECT_EQ(dest_master(), m_dest_master);
    EXPECT_EQ(source_master(), m_source_master);
  }
  // Not in the source.
  const core::TransferResult missing = run(true, "NOPE");
  EXPECT_EQ(missing.outcome, core::TransferOutcome::kFailed);
  EXPECT_FALSE(missing.messages.empty());
  // A damaged destination MASTER, then none at all.
  write_bytes(m_dest.path() / "MASTER", m_dest_master + std::string(53, '\0'));
  EXPECT_FALSE(run(false).ok);
  EXPECT_FALSE(in_dest("F2.DAT"));
  fs::remove(m_dest.path() / "MASTER");
  EXPECT_FALSE(run(true).ok);
  EXPECT_EQ(source_master(), m_source_master);
  EXPECT_TRUE(in_source("F2.DAT"));
  EXPECT_FALSE(in_dest("F2.DAT"));
}

TEST_F(Transfer, AFullMasterSendsTheSymbolToAnXmaster) {
  // 254 symbols: the last number goes to the MASTER.
  std::string master = testing_support::master_header(254);
  for (int n = 1; n <= 254; ++n)
    master += testing_support::master_entry(n, "N" + std::to_string(n), "S" + std::to_string(n));
  write_bytes(m_dest.path() / "MASTER", master);
  const core::TransferResult last = run(false);
  ASSERT_TRUE(last.ok);
  EXPECT_EQ(last.new_file_number, 255);
  EXPECT_EQ(static_cast<unsigned char>(dest_master()[0]), 255u);
  EXPECT_FALSE(in_dest("XMASTER"));

  // Full: the next symbol goes to a new XMASTER as F256, its quotes to F256.MWD.
  const std::string full = dest_master();
  const core::TransferResult extended = run(false, "KEEP");
  ASSERT_TRUE(extended.ok) << extended.messages.at(0);
  EXPECT_EQ(extended.new_file_number, 256);
  EXPECT_EQ(dest_master(), full);
  EXPECT_EQ(read_bytes(m_dest.path() / "F256.MWD"), read_bytes(m_source.path() / "F1.DAT"));
  qdb::MasterRecord found;
  std::string found_dir;
  ASSERT_EQ(qdb::find_symbol(dest_text(), "keep", found, found_dir), qdb::kSuccess);
  EXPECT_EQ(found.file_number(), 256);
  EXPECT_EQ(run(false, "KEEP").outcome, core::TransferOutcome::kExists);
}

// Under a failure at any single step nothing is lost: the symbol's record stays in at least one
// MASTER with its data file beside it, both MASTERs stay whole, and a refused move changes
// nothing unless it says the symbol is now in both portfolios.
TEST_F(Transfer, AFailureAtAnyStepOfAMoveLosesNothing) {
  for (const char* kind : {"create", "write", "sync", "close", "rename", "remove", "open"}) {
    for (int nth = 1; nth < 60; ++nth) {
      SetUp();
      testing_support::FailingFileSystem files;
      files.fail_step(kind, nth, 5);
      core::TransferResult result;
      {
        testing_support::InstalledFileSystem installed(files);
        result = run(true);
      }
      SCOPED_TRACE(std::string(kind) + " #" + std::to_string(nth));
      const std::string source = source_master();
      const std::string dest = dest_master();
      const bool in_source_master = source == m_source_master;
      const bool in_dest_master = dest == dest_with_record(3);
      ASSERT_TRUE(in_source_master || source.size() == 53 * 2) << "source MASTER changed badly";
      ASSERT_TRUE(in_dest_master || dest == m_dest_master) << "destination MASTER changed badly";
      ASSERT_TRUE(in_source_master || in_dest_master) << "the symbol was lost";
      if (in_source_master) {
        EXPECT_EQ(read_bytes(m_source.path() / "F2.DAT"), m_source_data);
      }
      if (in_dest_master) {
        EXPECT_EQ(read_bytes(m_dest.path() / "F3.DAT"), m_source_data);
      }
      if (result.ok) {
        EXPECT_TRUE(in_dest_master && !in_source_master);
      } else if (result.outcome == core::TransferOutcome::kAdded) {
        // Moved, but a source file stayed behind: a failure that names it.
        EXPECT_TRUE(in_dest_master && !in_source_master);
        EXPECT_NE(result.messages[0].find("could not be deleted"), std::string::npos);
      } else {
        EXPECT_FALSE(result.messages.empty());
        const bool says_both = result.messages[0].find("both portfolios") != std::string::npos;
        EXPECT_EQ(in_dest_master, says_both);
        if (!says_both) {
          EXPECT_TRUE(in_source("F2.DAT") && in_source("F2.DOP"));
          EXPECT_FALSE(in_dest("F3.DAT.tmp~") || in_dest("MASTER.~NU"));
        }
      }
      if (files.failures() == 0) break;
    }
  }
}

TEST(TransferReal, MovesASymbolOutOfAPortfolioWithLowerCaseNames) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  TempDir temp;
  const fs::path source = testing_support::copy_tree(
      testing_support::real_portfolio("hangseng-mini"), temp.path() / "hangseng");
  for (const auto& entry : fs::directory_iterator(source))
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  const fs::path dest = temp.path() / "dest";
  make_portfolio(dest, {});
  const std::string data = read_bytes(source / "F1.dat");
  const core::TransferResult result =
      core::transfer_symbol(source.string(), "HSM__2000V", dest.string(), core::TransferMode::Move);
  ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
  EXPECT_EQ(read_bytes(dest / "F1.DAT"), data);
  EXPECT_FALSE(fs::exists(source / "F1.dat"));
  EXPECT_FALSE(fs::exists(source / "MASTER"));  // the lower-case master was rewritten in place
  EXPECT_EQ(read_bytes(source / "master").size(), 53u * 255);
  EXPECT_EQ(static_cast<unsigned char>(read_bytes(source / "master")[0]), 254u);
}

}  // namespace
