// The demo tree: deterministic bytes, every symbol readable, and the features it shows.
#include "core/demo_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/symbol_rows.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testing_support::TempDir;

std::map<std::string, std::string> tree_bytes(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).string()] = testing_support::read_bytes(entry.path());
  return files;
}

class DemoTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    std::string message;
    ASSERT_TRUE(core::make_demo_tree(s_dir->dir() + "demo", message)) << message;
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  static std::string portfolio(const std::string& name) { return s_dir->dir() + "demo/" + name; }
  static TempDir* s_dir;
};
TempDir* DemoTree::s_dir = nullptr;

// Two runs give the same bytes; a run over an existing demo refuses and changes nothing.
TEST_F(DemoTree, TwoRunsWriteIdenticalBytesAndNeverOverwrite) {
  TempDir other;
  std::string message;
  ASSERT_TRUE(core::make_demo_tree(other.dir() + "demo", message)) << message;
  const auto first = tree_bytes(s_dir->path() / "demo");
  EXPECT_GT(first.size(), 20u);
  EXPECT_TRUE(first == tree_bytes(other.path() / "demo"));
  EXPECT_FALSE(core::make_demo_tree(s_dir->dir() + "demo", message));
  EXPECT_FALSE(message.empty());
  EXPECT_TRUE(tree_bytes(s_dir->path() / "demo") == first);
}

// Every entry of every demo MASTER reads in full, weekday dates ascending, prices sane.
TEST_F(DemoTree, EverySymbolReadsWithAscendingWeekdayDates) {
  int symbols = 0;
  std::map<int, int> record_lengths;
  for (const std::string& name : core::demo_portfolios()) {
    const std::string dir = portfolio(name);
    const auto listing = core::read_master_rows(dir + "/MASTER");
    ASSERT_TRUE(listing.ok) << name;
    ASSERT_EQ(listing.header_count, static_cast<int>(listing.rows.size())) << name;
    for (const auto& row : listing.rows) {
      if (row.name.find("<DIR>") != std::string::npos) continue;  // the sub-portfolio
      ++symbols;
      qdb::SeriesReader reader;
      ASSERT_EQ(reader.open(dir, row.symbol), qdb::kSuccess) << row.symbol;
      ++record_lengths[reader.record().record_length()];
      ASSERT_GT(reader.total(), 1000) << row.symbol;
      qdb::QuoteSeries series;
      ASSERT_EQ(qdb::series_alloc(series, 400), qdb::kSuccess);
      qdb::DateSerial previous = 0;
      for (std::int32_t start = 0; start < reader.total(); start += 400) {
        ASSERT_EQ(reader.read(series, row.symbol, start, 400), qdb::kSuccess);
        for (int i = 0; i < series.count; ++i) {
          const qdb::QuoteBar bar = series.bar(i);
          ASSERT_GT(bar.date, previous) << row.symbol;
          ASSERT_FALSE(qdb::is_weekend(bar.date)) << row.symbol;
          ASSERT_GT(bar.close, 0.0f) << row.symbol;
          if (bar.low >= 0 && bar.high >= 0) {
            ASSERT_LE(bar.low, bar.close) << row.symbol;
            ASSERT_GE(bar.high, bar.close) << row.symbol;
          }
          previous = bar.date;
        }
      }
    }
  }
  EXPECT_GE(symbols, 15);
  EXPECT_GT(record_lengths[20], 0);
  EXPECT_GT(record_lengths[24], 0);
  EXPECT_GT(record_lengths[28], 0);
}

}  // namespace
