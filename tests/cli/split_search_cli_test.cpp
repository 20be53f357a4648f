#include <gtest/gtest.h>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

using testing_support::run_cli;

namespace {

void add_symbol(const std::string& dir, int file_number, const std::string& symbol,
                const std::vector<float>& closes) {
  std::vector<qdb::QuoteBar> bars;
  const qdb::DateSerial first = qdb::date_serial(1999, 5, 24);
  for (std::size_t i = 0; i < closes.size(); ++i) {
    qdb::QuoteBar bar;
    bar.date = static_cast<qdb::DateSerial>(first + i);
    bar.open = bar.high = bar.low = bar.close = closes[i];
    bars.push_back(bar);
  }
  ASSERT_TRUE(qdb::write_data_file(dir, file_number, bars, qdb::default_layout(28), 28));
  ASSERT_TRUE(
      qdb::append_master_record(dir, qdb::make_master_record(file_number, symbol, symbol, 28, 7)));
}

TEST(SplitSearchCommand, LinesOnStdoutMessagesOnStderrAndCrLfResultFile) {
  testing_support::TempDir dir;
  ASSERT_TRUE(qdb::create_portfolio(dir.dir()));
  add_symbol(dir.dir(), 1, "ZED", {100, 100, 50, 50});
  add_symbol(dir.dir(), 2, "ONE", {10});
  add_symbol(dir.dir(), 3, "ABC", {30, 10, 10});
  const std::string output = dir.dir() + "result.txt";
  const auto result = run_cli({"split-search", dir.path().string(), "--output", output});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "ABC possible 3 for 1 split on 05/25/99\n"
            "ZED possible 2 for 1 split on 05/26/99\n");
  EXPECT_EQ(
      result.err,
      "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.\n");
  EXPECT_EQ(testing_support::read_bytes(output),
            "ABC possible 3 for 1 split on 05/25/99\r\n"
            "ZED possible 2 for 1 split on 05/26/99\r\n");
}

TEST(SplitSearchCommand, NoCandidates) {
  testing_support::TempDir dir;
  ASSERT_TRUE(qdb::create_portfolio(dir.dir()));
  add_symbol(dir.dir(), 1, "FLAT", {10, 10, 10});
  auto result = run_cli({"split-search", dir.path().string()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "No candidate splits found\n");
}

TEST(SplitSearchCommand, RefusesTheDamagedRealMasterUntilRepaired) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  testing_support::TempDir real;
  const auto copy =
      testing_support::copy_tree(testing_support::real_portfolio("mininge"), real.path() / "m");
  EXPECT_EQ(run_cli({"split-search", copy.string()}).exit_code, 1);
  EXPECT_EQ(run_cli({"repair", copy.string()}).exit_code, 0);
  const auto result = run_cli({"split-search", copy.string()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err.find("For symbol"), std::string::npos) << result.err;  // all 25 read
  EXPECT_FALSE(result.out.empty());
}

}  // namespace
