// Data files beyond 32,767 records: the header's count is unsigned 16-bit, so a file holds up to
// 65,534 quotes. Each file is written once for the suite; commands that change it run on copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/quote_texts.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/master.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::lines_of;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;

namespace {

constexpr int kLong = 40000;       // quotes of LONG: weekdays from 1901
constexpr int kSplitAt = 30000;    // quotes before this one are priced twice as high
constexpr int kFull = 65534;       // quotes of FULL: the most a header counts (65,535 records)
constexpr int kFullGapAt = 65000;  // FULL has no quote on the weekday before this quote's date

std::string joined(const qdb::QuoteBar& bar) {
  std::string line;
  for (const std::string& cell : core::quote_cell_texts(bar))
    line += (line.empty() ? "" : "\t") + cell;
  return line;
}

std::string date4(qdb::DateSerial date) {
  int years = 0, month = 0, day = 0;
  qdb::split_date(date, years, month, day);
  char text[48];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d", month, day, 1900 + years);
  return text;
}

void write_symbol(const std::string& dir, const std::string& symbol,
                  const std::vector<qdb::QuoteBar>& bars) {
  ASSERT_TRUE(qdb::create_portfolio(dir));
  const qdb::SeriesLayout layout = qdb::default_layout(28);
  ASSERT_TRUE(qdb::write_data_file(dir, 1, bars, layout, 28));
  ASSERT_TRUE(qdb::write_dop_file(dir, 1, layout));
  ASSERT_TRUE(
      qdb::append_master_record(dir, qdb::make_master_record(1, symbol, symbol + " SERIES", 28, 7,
                                                             bars.front().date, bars.back().date)));
}

class LongSeries : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_long = new TempDir();
    s_full = new TempDir();
    s_long_bars = new std::vector<qdb::QuoteBar>();
    s_full_bars = new std::vector<qdb::QuoteBar>();
    qdb::DateSerial date = qdb::date_serial(1901, 1, 1);
    for (int i = 0; i < kLong; ++i, ++date) {
      while (qdb::is_weekend(date)) ++date;
      const float price = (i < kSplitAt ? 2.0f : 1.0f) * (20.0f + static_cast<float>(i % 8) / 8);
      s_long_bars->push_back(
          {date, 0, price, price + 0.5f, price - 0.5f, price + 0.25f, 1000.0f + i % 97, 7.0f});
    }
    // Every calendar day from 1900, one weekday left out near the end.
    date = qdb::date_serial(1900, 1, 1);
    for (int i = 0; i < kFull; ++i, ++date) {
      if (i == kFullGapAt) {
        while (qdb::is_weekend(date)) ++date;
        ++date;  // the left-out weekday
        while (qdb::is_weekend(date)) ++date;
      }
      s_full_bars->push_back({date, 0, 5.0f, 6.0f, 4.0f, 5.5f, 100.0f, 0.0f});
    }
    write_symbol(s_long->dir(), "LONG", *s_long_bars);
    write_symbol(s_full->dir(), "FULL", *s_full_bars);
  }
  static void TearDownTestSuite() {
    delete s_long;
    delete s_full;
    delete s_long_bars;
    delete s_full_bars;
  }

  // A copy of the LONG portfolio for a command that changes it.
  std::string long_copy() {
    testing_support::copy_tree(s_long->path(), m_copy.path() / "p");
    return (m_copy.path() / "p").string() + "/";
  }

  static TempDir* s_long;
  static TempDir* s_full;
  static std::vector<qdb::QuoteBar>* s_long_bars;
  static std::vector<qdb::QuoteBar>* s_full_bars;
  TempDir m_copy;
};
TempDir* LongSeries::s_long = nullptr;
TempDir* LongSeries::s_full = nullptr;
std::vector<qdb::QuoteBar>* LongSeries::s_long_bars = nullptr;
std::vector<qdb::QuoteBar>* LongSeries::s_full_bars = nullptr;

// Every reader sees every quote of both files: the library's reads, quotes, facts, export and
// split search.
TEST_F(LongSeries, EveryReaderSeesEveryQuote) {
  const struct {
    TempDir* dir;
    const char* key;
    const std::vector<qdb::QuoteBar>* bars;
  } files[] = {{s_long, "LONG", s_long_bars}, {s_full, "FULL", s_full_bars}};
  for (const auto& f : files) {
    SCOPED_TRACE(f.key);
    const int n = static_cast<int>(f.bars->size());
    qdb::SeriesReader reader;
    ASSERT_EQ(reader.open(f.dir->dir(), f.key), qdb::kSuccess);
    EXPECT_EQ(reader.total(), n);
    qdb::QuoteSeries all;
    ASSERT_EQ(qdb::series_alloc(all, n), qdb::kSuccess);
    ASSERT_EQ(qdb::read_series(all, f.dir->dir(), f.key, 0, n), qdb::kSuccess);
    EXPECT_EQ(all.total, n);
    EXPECT_EQ(all.count, n);
    EXPECT_EQ(all.date(n - 1), f.bars->back().date);
    EXPECT_EQ(qdb::find_quote(f.dir->dir(), f.key, f.bars->back().date, 0, nullptr, nullptr),
              n - 1);

    const auto quotes = run_cli({"quotes", f.dir->dir(), f.key});
    EXPECT_EQ(quotes.exit_code, 0) << quotes.err;
    EXPECT_EQ(quotes.err, "");
    const auto lines = lines_of(quotes.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(n));
    EXPECT_EQ(lines.front(), joined(f.bars->back()));
    EXPECT_EQ(lines.back(), joined(f.bars->front()));

    const auto facts = run_cli({"facts", f.dir->dir(), f.key});
    EXPECT_EQ(facts.exit_code, 0) << facts.err;
    EXPECT_NE(facts.out.find("Number of quotes\t" + std::to_string(n) + "\n"), std::string::npos)
        << facts.out;

    const auto exported = run_cli({"export", f.dir->dir(), f.key, "-"});
    EXPECT_EQ(exported.exit_code, 0) << exported.err;
    EXPECT_EQ(lines_of(exported.out).size(), static_cast<std::size_t>(n));
  }
  const auto search = run_cli({"split-search", s_long->path().string()});
  EXPECT_EQ(search.exit_code, 0) << search.err;
  EXPECT_EQ(search.out, "LONG possible 2 for 1 split on " +
                            core::display_date_text((*s_long_bars)[kSplitAt].date) + "\n");
}

// An edit of the newest quote changes that record alone; a delete of it drops the last record,
// lowers the count and moves the MASTER's last date to the quote before.
TEST_F(LongSeries, TheNewestQuoteIsEditedAndDeleted) {
  const std::string dir = long_copy();
  const std::string data_before = read_bytes(fs::path(dir) / "F1.DAT");
  const std::string master_before = read_bytes(fs::path(dir) / "MASTER");
  const std::string newest = date4(s_long_bars->back().date);
  const auto edit = run_cli({"edit-quote", dir, "LONG", newest, "--close", "99"});
  ASSERT_EQ(edit.exit_code, 0) << edit.err;
  const std::string data_edited = read_bytes(fs::path(dir) / "F1.DAT");
  ASSERT_EQ(data_edited.size(), data_before.size());
  const std::size_t last_record = data_before.size() - 28;
  EXPECT_EQ(data_edited.substr(0, last_record), data_before.substr(0, last_record));
  EXPECT_NE(data_edited, data_before);
  EXPECT_EQ(read_bytes(fs::path(dir) / "MASTER"), master_before);
  qdb::QuoteBar edited = s_long_bars->back();
  edited.close = 99;
  EXPECT_EQ(lines_of(run_cli({"quotes", dir, "LONG"}).out).front(), joined(edited));

  const auto removed = run_cli({"delete-quote", dir, "LONG", newest});
  ASSERT_EQ(removed.exit_code, 0) << removed.err;
  const std::string data_after = read_bytes(fs::path(dir) / "F1.DAT");
  std::string expected = data_before.substr(0, last_record);
  const int records = kLong;  // the header counts one record fewer: kLong - 1 quotes
  expected[2] = static_cast<char>(records & 0xFF);
  expected[3] = static_cast<char>(records >> 8);
  EXPECT_EQ(data_after, expected);
  const std::string master = read_bytes(fs::path(dir) / "MASTER");
  const qdb::MbfReal last = qdb::date_to_mbf((*s_long_bars)[kLong - 2].date);
  EXPECT_EQ(master.substr(53 + qdb::master_offset::kLastDate, 4),
            std::string(reinterpret_cast<const char*>(last.bytes), 4));
  EXPECT_NE(run_cli({"facts", dir, "LONG"}).out.find("Number of quotes\t39999\n"),
            std::string::npos);
}

// A file whose header counts 65,535 records takes no quote more: the insert is refused with
// its reason and no file of the portfolio changes or appears.
TEST_F(LongSeries, AnInsertIntoAFullFileIsRefused) {
  TempDir copy;
  const fs::path dir = testing_support::copy_tree(s_full->path(), copy.path() / "p");
  std::vector<std::pair<std::string, std::string>> before;
  for (const auto& entry : fs::directory_iterator(dir))
    before.emplace_back(entry.path().filename().string(), read_bytes(entry.path()));
  std::sort(before.begin(), before.end());

  const auto added =
      run_cli({"add-quote", dir.string() + "/", "FULL", date4((*s_full_bars)[kFullGapAt].date)});
  EXPECT_EQ(added.exit_code, 1);
  EXPECT_EQ(added.err,
            "Add Quote Failed\nF1.DAT's header already counts 65,535 records (65,534 quotes), "
            "the most a data file can hold; no quote was added\n");
  std::vector<std::pair<std::string, std::string>> after;
  for (const auto& entry : fs::directory_iterator(dir))
    after.emplace_back(entry.path().filename().string(), read_bytes(entry.path()));
  std::sort(after.begin(), after.end());
  EXPECT_EQ(after, before);
}

}  // namespace
