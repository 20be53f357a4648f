#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "qdb/writer.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;

namespace {

// TEST (F1) and OTHER (F2): Wed 12/29/99, Thu 12/30/99, Mon 01/03/00, Tue 01/04/00, Wed 01/05/00.
class EditCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<qdb::QuoteBar> bars;
    const qdb::DateSerial dates[] = {qdb::date_serial(1999, 12, 29), qdb::date_serial(1999, 12, 30),
                                     qdb::date_serial(2000, 1, 3), qdb::date_serial(2000, 1, 4),
                                     qdb::date_serial(2000, 1, 5)};
    for (std::size_t i = 0; i < 5; ++i) {
      const float base = 10.125f + static_cast<float>(i);
      bars.push_back({dates[i], 0, base, base + 1.33333f, base - 0.5f, base + 0.25f, 1000.0f + base,
                      70.0f + base});
    }
    ASSERT_TRUE(qdb::create_portfolio(dir()));
    const qdb::SeriesLayout layout = qdb::default_layout(28);
    for (int n : {1, 2}) {
      const std::string symbol = n == 1 ? "TEST" : "OTHER";
      ASSERT_TRUE(qdb::write_data_file(dir(), n, bars, layout, 28));
      ASSERT_TRUE(qdb::write_dop_file(dir(), n, layout));
      ASSERT_TRUE(qdb::append_master_record(
          dir(), qdb::make_master_record(n, symbol, symbol + " ISSUE", 28, 7, bars.front().date,
                                         bars.back().date)));
    }
    m_data = data();
  }
  std::string dir() const { return m_temp.dir(); }
  std::string data() const { return read_bytes(m_temp.path() / "F1.DAT"); }
  std::string master() const { return read_bytes(m_temp.path() / "MASTER"); }

  TempDir m_temp;
  std::string m_data;
};

void expect_failure(const testing_support::CliResult& result, const std::string& err) {
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, err);
  EXPECT_EQ(result.out, "");
}

// Each refusal exits 1 with the system's message alone on stderr and changes no byte; bad
// arguments exit 2.
TEST_F(EditCommands, RefusalsExitOneWithTheMessageAndChangeNothing) {
  const std::string master_before = master();
  const struct {
    std::vector<std::string> args;
    const char* err;
  } refused[] = {
      {{"edit-quote", "TEST", "01/03/00", "--open", "abc"},
       "Invalid Data Entered\nOpen: \"abc\" is not a number\n"},
      {{"edit-quote", "TEST", "12/31/99", "--open", "1"}, "Single Date Edit Failed\n"},
      {{"split", "TEST", "01/06/00", "2", "1"},
       "Invalid Data Entered\nSplit Date: 01/06/00 is after the last quote, 01/05/00\n"},
      {{"split", "TEST", "01/03/00", "0", "1"},
       "Invalid Data Entered\nNew Shares: \"0\" is 0; enter a number other than 0\n"},
      {{"adjust", "TEST", "12/28/99", "01/05/00"},
       "Invalid Data Entered\nFrom: 12/28/99 is before the first quote, 12/29/99\n"},
      {{"adjust", "TEST", "12/29/99", "01/05/00", "--oi", "x"},
       "Invalid Data Entered\nOpen Interest: \"x\" is not a number; enter one other than 0\n"},
      {{"delete-quote", "TEST", "12/31/99"},
       "failure in delete quote for findrec\nDelete Edit Failed\n"},
      {{"add-quote", "TEST", "01/05/00"}, "Date 01/04/00 already exists.\n"},
      {{"rename-symbol", "TEST", ""}, "You must enter a symbol\n"},
  };
  for (const auto& c : refused) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, dir());
    SCOPED_TRACE(c.args[0]);
    expect_failure(run_cli(args), c.err);
  }
  EXPECT_EQ(run_cli({"add-quote", dir(), "TEST", "12/29/99"}).exit_code, 1);
  EXPECT_EQ(run_cli({"edit-quote", dir(), "NOSUCH", "01/03/00", "--open", "1"}).exit_code, 1);
  EXPECT_EQ(run_cli({"delete-symbol", dir(), "NOSUCH"}).exit_code, 1);
  EXPECT_EQ(run_cli({"edit-quote", dir(), "TEST"}).exit_code, 2);
  EXPECT_EQ(run_cli({"edit-quote", dir(), "TEST", "01/03/00", "--bogus", "1"}).exit_code, 2);
  EXPECT_EQ(data(), m_data);
  EXPECT_EQ(master(), master_before);
}

TEST_F(EditCommands, QuoteCommandsChangeWhatTheirArgumentsName) {
  ASSERT_EQ(run_cli({"edit-quote", dir(), "test", "01/03/00", "--close", "12.5"}).exit_code, 0);
  const std::string after = data();
  const std::size_t close = 28 * 3 + 16;  // quote 2, column 5
  EXPECT_EQ(after.substr(0, close), m_data.substr(0, close));
  EXPECT_EQ(after.substr(close + 4), m_data.substr(close + 4));
  EXPECT_EQ(qdb::mbf_to_float(reinterpret_cast<const std::uint8_t*>(after.data() + close)), 12.5f);

  ASSERT_EQ(run_cli({"split", dir(), "TEST", "01/03/00", "2", "1"}).exit_code, 0);
  const auto quotes = run_cli({"quotes", dir(), "TEST"});
  EXPECT_NE(quotes.out.find("12/30/99\t5.5625\t"), std::string::npos) << quotes.out;
  EXPECT_NE(quotes.out.find("01/03/00\t12.1250\t"), std::string::npos) << quotes.out;

  // Multipliers default to 1: every quote is rewritten with its own values.
  const std::string before = data();
  ASSERT_EQ(run_cli({"adjust", dir(), "TEST", "12/29/99", "01/05/00"}).exit_code, 0);
  EXPECT_EQ(data(), before);
  ASSERT_EQ(run_cli({"adjust", dir(), "TEST", "01/05/00", "01/05/00", "--volume", "2"}).exit_code,
            0);
  EXPECT_NE(run_cli({"quotes", dir(), "TEST"}).out.find("\t2028\t"), std::string::npos);

  const auto added = run_cli({"add-quote", dir(), "TEST", "01/03/00"});
  ASSERT_EQ(added.exit_code, 0) << added.err;
  EXPECT_EQ(added.out, "12/31/99\n");
  EXPECT_EQ(data().size(), m_data.size() + 28);
  ASSERT_EQ(run_cli({"delete-quote", dir(), "TEST", "01/05/00"}).exit_code, 0);
  EXPECT_EQ(data().size(), m_data.size());
  // The MASTER's last date followed.
  const std::string m = master();
  EXPECT_EQ(qdb::date_from_real(
                qdb::mbf_to_float(reinterpret_cast<const std::uint8_t*>(m.data() + 53 + 29))),
            qdb::date_serial(2000, 1, 4));
}

TEST_F(EditCommands, RenameAndDeleteSymbol) {
  ASSERT_EQ(run_cli({"rename-symbol", dir(), "TEST", "NEW"}).exit_code, 0);
  const std::string m = master();
  EXPECT_EQ(m.substr(53 + 36, 16), "NEW             ");
  EXPECT_EQ(m.substr(53 + 7, 16), "TEST ISSUE      ");  // the name stays
  EXPECT_TRUE(fs::exists(m_temp.path() / "MASTER.BAK"));
  ASSERT_EQ(run_cli({"rename-symbol", dir(), "NEW", "NEW", "--name", "Renamed"}).exit_code, 0);
  EXPECT_EQ(master().substr(53 + 7, 16), "Renamed         ");

  EXPECT_EQ(run_cli({"delete-symbol", dir(), "TEST"}).exit_code, 1);
  ASSERT_EQ(run_cli({"delete-symbol", dir(), "NEW"}).exit_code, 0);
  EXPECT_EQ(master().size(), 53u * 2);
  EXPECT_FALSE(fs::exists(m_temp.path() / "F1.DAT") || fs::exists(m_temp.path() / "F1.DOP"));
  EXPECT_TRUE(fs::exists(m_temp.path() / "F2.DAT"));
  // The files went to the test process's own trash (XDG_DATA_HOME, set by the test support).
  const fs::path trash = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash";
  EXPECT_TRUE(fs::exists(trash / "files" / "F1.DAT") && fs::exists(trash / "files" / "F1.DOP"));
  EXPECT_TRUE(fs::exists(trash / "info" / "F1.DAT.trashinfo"));
}

TEST_F(EditCommands, DeleteSymbolWithATrashOnAnotherFileSystemNeedsNoTrash) {
  std::error_code ec;
  const fs::path other = "/dev/shm/dorvane-cli-trash-" + std::to_string(::getpid());
  if (!fs::create_directory(other, ec)) GTEST_SKIP() << "/dev/shm is not writable";
  const std::string home = std::getenv("XDG_DATA_HOME");
  ::setenv("XDG_DATA_HOME", other.c_str(), 1);
  const std::string before = master();
  const auto refused = run_cli({"delete-symbol", dir(), "TEST"});
  const auto deleted = run_cli({"delete-symbol", dir(), "TEST", "--no-trash"});
  ::setenv("XDG_DATA_HOME", home.c_str(), 1);
  const bool other_device = refused.exit_code != 0;
  const bool trash_made = fs::exists(other / "Trash");
  fs::remove_all(other, ec);
  if (!other_device) GTEST_SKIP() << "/dev/shm is on the portfolio's file system";
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("another file system"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("--no-trash"), std::string::npos);
  ASSERT_EQ(deleted.exit_code, 0) << deleted.err;
  EXPECT_EQ(master().size(), 53u * 2);
  EXPECT_NE(master(), before);
  EXPECT_FALSE(fs::exists(m_temp.path() / "F1.DAT"));
  EXPECT_FALSE(trash_made);
}

TEST(TransferCommands, CopyAndMoveBetweenRealPortfolios) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  TempDir temp;
  const fs::path hang = testing_support::copy_tree(testing_support::real_portfolio("hangseng-mini"),
                                                   temp.path() / "hangseng");
  const fs::path other = temp.path() / "other";
  ASSERT_TRUE(qdb::create_portfolio(other.string()));
  for (const fs::path& dir : {hang, other})
    for (const auto& entry : fs::directory_iterator(dir))
      fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);

  const auto copied = run_cli({"copy-symbol", hang.string(), "HSM__2000V", other.string()});
  ASSERT_EQ(copied.exit_code, 0) << copied.err;
  EXPECT_EQ(copied.out, "F1\n");
  EXPECT_EQ(read_bytes(other / "F1.DAT"), read_bytes(hang / "F1.dat"));
  expect_failure(run_cli({"copy-symbol", hang.string(), "hsm__2000v", other.string()}),
                 "The Symbol addition failed.\n\nReason: Symbol HSM__2000V already exists in\n" +
                     other.string() + "\nas F1 HSM__2000V (Hang Seng Mini 2).\n");
  // The real portfolio's MASTER is full: a symbol moved in goes to its XMASTER, after F266.
  ASSERT_EQ(run_cli({"rename-symbol", other.string(), "HSM__2000V", "FRESH"}).exit_code, 0);
  const auto into = run_cli({"move-symbol", other.string(), "FRESH", hang.string()});
  ASSERT_EQ(into.exit_code, 0) << into.err;
  EXPECT_EQ(into.out, "F267\n");
  EXPECT_EQ(read_bytes(hang / "F267.MWD"), read_bytes(hang / "F1.dat"));
  EXPECT_FALSE(fs::exists(other / "F1.DAT"));
  // Out of the XMASTER into a MASTER: the lowest free number there, as a DAT file.
  const std::string mwd = read_bytes(hang / "F256.mwd");
  const auto out_of = run_cli({"move-symbol", hang.string(), "HSM__2021X", other.string()});
  ASSERT_EQ(out_of.exit_code, 0) << out_of.err;
  EXPECT_EQ(out_of.out, "F1\n");
  EXPECT_EQ(read_bytes(other / "F1.DAT"), mwd);
  EXPECT_FALSE(fs::exists(hang / "F256.mwd"));
  const auto listed = run_cli({"symbols", hang.string()});
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 266);
  EXPECT_NE(listed.out.find("267\tFRESH\t"), std::string::npos) << listed.out;
  // No portfolio at the destination: a clear message, nothing changed.
  const auto nowhere =
      run_cli({"copy-symbol", other.string(), "HSM__2021X", (temp.path() / "none").string()});
  EXPECT_EQ(nowhere.exit_code, 1);
  EXPECT_NE(nowhere.err.find("could not be read"), std::string::npos) << nowhere.err;
}

}  // namespace
