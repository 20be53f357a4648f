// dorvane-cli verify: exit codes, one finding per line, the JSON document (parsed back, and
// as the JSON library prints it), and --fix followed by a clean verify.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::ordered_json;
using testing_support::run_cli;

// Ten weekdays from Monday 6 January 2020, the fourth stored twice and the sixth before the
// fifth.
std::vector<qdb::QuoteBar> damaged_bars() {
  std::vector<qdb::QuoteBar> bars;
  for (qdb::DateSerial d = qdb::date_serial(2020, 1, 6); bars.size() < 10; ++d) {
    if (qdb::is_weekend(d)) continue;
    qdb::QuoteBar bar;
    bar.date = d;
    bar.close = 20.0f + 0.01f * static_cast<float>(bars.size());
    bar.open = bar.close;
    bar.high = bar.close + 0.1f;
    bar.low = bar.close - 0.1f;
    bar.volume = 500;
    bars.push_back(bar);
  }
  bars.insert(bars.begin() + 3, bars[3]);
  std::swap(bars[5], bars[6]);
  return bars;
}

TEST(VerifyCommand, FindingsAsLinesAndJsonThenFixLeavesItClean) {
  testing_support::TempDir dir;
  testing_support::make_portfolio(dir.path(), {{1, "ACME", "ACME CORP", damaged_bars()},
                                               {2, "BETA", "BETA INC", damaged_bars()}});
  const std::string where = dir.path().string();

  const auto text = run_cli({"verify", where, "ACME"});
  EXPECT_EQ(text.exit_code, 1) << text.err;
  EXPECT_EQ(text.out,
            "ACME\t2020-01-10\tout-of-order\trecord 7 follows record 6 dated 2020-01-13\n"
            "ACME\t2020-01-09\trepeated-record\trecord 5 repeats record 4\n");

  const auto json = run_cli({"verify", where, "ACME", "--json"});
  EXPECT_EQ(json.exit_code, 1);
  const ordered_json document = ordered_json::parse(json.out);
  // Streamed by hand, the document reads as the library prints it.
  EXPECT_EQ(json.out, document.dump(2) + "\n");
  ASSERT_EQ(document["findings"].size(), 2u);
  EXPECT_EQ(document["findings"][0],
            ordered_json::parse(R"({"portfolio": ")" + dir.dir() +
                                R"(", "symbol": "ACME", "file_number": 1, "date": "2020-01-10",
                                "time": null, "kind": "out-of-order", "group": "order",
                                "values": "record 7 follows record 6 dated 2020-01-13"})"));
  EXPECT_EQ(document["symbols_verified"], 1);
  EXPECT_EQ(document["findings_count"], 2);

  const auto fixed = run_cli({"verify", where, "--fix"});
  EXPECT_EQ(fixed.exit_code, 0) << fixed.out << fixed.err;
  EXPECT_EQ(fixed.out,
            "fixed\tF1.DAT (ACME): records sorted into date order, 1 repeated record removed\n"
            "fixed\tF2.DAT (BETA): records sorted into date order, 1 repeated record removed\n");
  const auto again = run_cli({"verify", where});
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.out, "");
}

TEST(VerifyCommand, UsageAndUnreadablePortfolioExitTwo) {
  testing_support::TempDir dir;
  EXPECT_EQ(run_cli({"verify", dir.path().string()}).exit_code, 2);
  EXPECT_EQ(run_cli({"verify", dir.path().string(), "A", "B"}).exit_code, 2);
  EXPECT_EQ(run_cli({"verify", dir.path().string(), "--gap", "x"}).exit_code, 2);
  testing_support::make_portfolio(dir.path(), {{1, "ACME", "ACME CORP", {}}});
  const auto tree = run_cli({"verify", dir.path().string(), "--tree", "--gap", "3"});
  EXPECT_EQ(tree.exit_code, 0) << tree.out << tree.err;
}

}  // namespace
