// edit-quote and delete-quote on an intraday series: DATE alone must name one bar, DATE and
// --time one record unless --all-matching; each refusal exits 2 and changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/writer.h"
#include "support/intraday_portfolio.h"
#include "support/temp_dir.h"

using testing_support::intraday_record;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;

namespace {

struct Case {
  const char* name;
  std::vector<std::string> args;  // DIR goes after the command's name
  int exit_code;
  const char* err;
  std::vector<int> changed;  // records whose bytes change (edit) or that go (delete)
};

TEST(IntradayCli, ACommandNamesOneBarOrSaysWhatItFound) {
  const Case cases[] = {
      {"edit without --time",
       {"edit-quote", "ES", "05/05/11", "--close", "999"},
       2,
       "ES has 3 quotes dated 05/05/11, at 09:30:00, 11:30:37, 16:00:00.\n"
       "Name one with --time HH:MM[:SS].\n",
       {}},
      {"delete without --time",
       {"delete-quote", "ES", "05/03/11"},
       2,
       "ES has 6 quotes dated 05/03/11, at 09:30:00, 11:30:37, 16:00:00.\n"
       "Name one with --time HH:MM[:SS].\n",
       {}},
      {"delete a repeated bar",
       {"delete-quote", "ES", "05/03/11", "--time", "09:30"},
       2,
       "2 records of ES are dated 05/03/11 at 09:30:00.\n"
       "Give --all-matching to delete every one of them.\n",
       {}},
      {"edit a repeated bar",
       {"edit-quote", "ES", "05/03/11", "--time", "11:30:37", "--close", "999"},
       2,
       "2 records of ES are dated 05/03/11 at 11:30:37.\n"
       "Give --all-matching to change every one of them.\n",
       {}},
      {"a time that is none",
       {"edit-quote", "ES", "05/05/11", "--time", "9:30", "--close", "999"},
       2,
       "--time 9:30 is no time: give HH:MM or HH:MM:SS.\n",
       {}},
      {"a time no bar has",
       {"edit-quote", "ES", "05/05/11", "--time", "12:00", "--close", "999"},
       1,
       "Single Date Edit Failed\nNo quote of ES is dated 05/05/11 at 12:00:00.\n",
       {}},
      {"edit one bar",
       {"edit-quote", "ES", "05/05/11", "--time", "11:30:37", "--close", "999"},
       0,
       "",
       {7}},
      {"edit every copy",
       {"edit-quote", "ES", "05/03/11", "--time", "11:30:37", "--all-matching", "--close", "999"},
       0,
       "",
       {4, 12}},
      {"delete one bar", {"delete-quote", "ES", "05/06/11", "--time", "16:00"}, 0, "", {11}},
      {"delete every copy",
       {"delete-quote", "ES", "05/03/11", "--time", "09:30:00", "--all-matching"},
       0,
       "",
       {3, 13}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    testing_support::make_intraday_portfolio(temp.dir());
    const std::string before = read_bytes(temp.path() / "F1.DAT");
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, temp.dir());
    const testing_support::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_EQ(result.err, c.err);
    const std::string after = read_bytes(temp.path() / "F1.DAT");
    if (c.changed.empty()) {
      EXPECT_EQ(after, before);
    } else if (c.args[0] == "delete-quote") {
      std::string expected = before.substr(testing_support::kIntradayRecord);
      for (auto k = c.changed.rbegin(); k != c.changed.rend(); ++k)
        expected.erase(static_cast<std::size_t>(*k) * testing_support::kIntradayRecord,
                       testing_support::kIntradayRecord);
      EXPECT_EQ(after.substr(testing_support::kIntradayRecord), expected);
    } else {
      for (int k = 0; k < 15; ++k) {
        const bool changed = std::find(c.changed.begin(), c.changed.end(), k) != c.changed.end();
        EXPECT_EQ(intraday_record(after, k) != intraday_record(before, k), changed) << k;
      }
    }
  }
}

TEST(IntradayCli, ATimeForASeriesWithoutTimesIsRefused) {
  TempDir temp;
  ASSERT_TRUE(qdb::create_portfolio(temp.dir()));
  const std::vector<qdb::QuoteBar> bars = {
      {qdb::date_serial(2011, 5, 2), 0, 1.0f, 2.0f, 0.5f, 1.5f, 10.0f, 1.0f}};
  ASSERT_TRUE(qdb::write_data_file(temp.dir(), 1, bars, qdb::default_layout(28), 28));
  ASSERT_TRUE(qdb::append_master_record(
      temp.dir(), qdb::make_master_record(1, "SPX", "SPX", 28, 7, bars[0].date, bars[0].date)));
  const std::string before = read_bytes(temp.path() / "F1.DAT");
  const auto result = run_cli({"delete-quote", temp.dir(), "SPX", "05/02/11", "--time", "09:30"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "SPX holds no times: leave out --time.\n");
  EXPECT_EQ(read_bytes(temp.path() / "F1.DAT"), before);
}

}  // namespace
