#include "core/split_search.h"

#include <gtest/gtest.h>

#include <cctype>

#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

qdb::QuoteBar bar(float close, float high, float low, qdb::DateSerial date = 0) {
  qdb::QuoteBar b;
  b.date = date;
  b.open = close;
  b.close = close;
  b.high = high;
  b.low = low;
  return b;
}

std::string ratio_text(std::optional<core::SplitRatio> ratio) {
  if (!ratio) return "none";
  return std::to_string(ratio->new_shares) + " for " + std::to_string(ratio->old_shares);
}

// Pairs of (earlier close, high, low) and (later close, high, low) and the ratio found.
TEST(TestSplitPair, RatioWindowsAndGapUseFloatAndDouble) {
  const struct {
    float c0, h0, l0, c1, h1, l1;
    const char* ratio;
  } cases[] = {
      {100, 101, 98, 50, 52, 49, "2 for 1"},  // a fall by half with a gap of 46 > 0.8 * 50
      {50, 52, 49, 100, 101, 98, "1 for 2"},
      {100, 101, 60, 50, 55, 49, "none"},      // gap 5 does not confirm the jump
      {180, 180, 180, 100, 100, 100, "none"},  // the bounds 1.8 and 2.2 are strict
      {220, 220, 220, 100, 100, 100, "none"},
      {181, 181, 181, 100, 100, 100, "2 for 1"},
      {133.3f, 133.3f, 133.3f, 100, 100, 100, "none"},  // 4 for 3 is never tried
      {150, 150, 150, 100, 100, 100, "3 for 2"},
      {0, 1, 0, 50, 52, 49, "none"},  // zero closes never divide
      {100, 101, 98, 0, 0, 0, "none"},
      {100, 100, 90, 50, 50, 50, "none"},  // gap 40 = 0.8f * 50: must exceed strictly
      {100, 100, 90.01f, 50, 50, 50, "2 for 1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ratio_text(core::TestSplitPair(bar(c.c0, c.h0, c.l0), bar(c.c1, c.h1, c.l1))),
              c.ratio)
        << c.c0 << " " << c.h0 << " " << c.l0 << " -> " << c.c1 << " " << c.h1 << " " << c.l1;
  }
  EXPECT_EQ(core::split_result_line("IBM", {2, 1}, qdb::date_serial(1999, 5, 27)),
            "IBM possible 2 for 1 split on 05/27/99");
}

class Collector : public core::SplitSearchObserver {
 public:
  void result_line(const std::string& line) override { lines.push_back(line); }
  void status(const std::string& text) override { statuses.push_back(text); }
  void message(const std::string& text) override { messages.push_back(text); }
  std::vector<std::string> lines, statuses, messages;
};

class SplitSearchPortfolio : public ::testing::Test {
 protected:
  // A symbol whose closes alternate 100, 50, 100 ...: every consecutive pair is a candidate.
  void add_alternating(int file_number, const std::string& symbol, int quotes) {
    std::vector<qdb::QuoteBar> bars;
    const qdb::DateSerial first = qdb::date_serial(1990, 1, 1);
    for (int i = 0; i < quotes; ++i) {
      const float close = i % 2 == 0 ? 100.0f : 50.0f;
      bars.push_back(bar(close, close, close, static_cast<qdb::DateSerial>(first + i)));
    }
    add(file_number, symbol, bars);
  }
  void add(int file_number, const std::string& symbol, const std::vector<qdb::QuoteBar>& bars) {
    ASSERT_TRUE(qdb::write_data_file(dir(), file_number, bars, qdb::default_layout(28), 28));
    ASSERT_TRUE(qdb::append_master_record(
        dir(), qdb::make_master_record(file_number, symbol, symbol + " INC", 28, 7)));
  }
  std::string dir() const { return m_dir.dir(); }
  Collector search() {
    Collector collector;
    const auto rows = core::sorted_rows(core::read_master_rows(dir() + "MASTER").rows);
    m_summary = core::split_search(dir(), rows, collector);
    return collector;
  }

  testing_support::TempDir m_dir;
  core::SplitSearchSummary m_summary;
};

TEST_F(SplitSearchPortfolio, BlocksOverlapByOneSoEveryPairIsTestedOnce) {
  ASSERT_TRUE(qdb::create_portfolio(dir()));
  add_alternating(1, "ZB", 401);
  add_alternating(2, "AA", 400);
  const Collector found = search();
  ASSERT_EQ(found.lines.size(), 399u + 400u);
  const qdb::DateSerial first = qdb::date_serial(1990, 1, 1);
  // Grid order: AA (second in the file) first; each later quote's date exactly once.
  EXPECT_EQ(found.lines.front(),
            core::split_result_line("AA", {2, 1}, static_cast<qdb::DateSerial>(first + 1)));
  EXPECT_EQ(found.lines[398],
            core::split_result_line("AA", {2, 1}, static_cast<qdb::DateSerial>(first + 399)));
  for (int i = 1; i <= 400; ++i) {
    const core::SplitRatio ratio = i % 2 == 1 ? core::SplitRatio{2, 1} : core::SplitRatio{1, 2};
    EXPECT_EQ(found.lines[static_cast<std::size_t>(398 + i)],
              core::split_result_line("ZB", ratio, static_cast<qdb::DateSerial>(first + i)));
  }
  EXPECT_EQ(found.statuses, (std::vector<std::string>{"AA", "ZB", "Done search"}));
  EXPECT_TRUE(found.messages.empty());
}

TEST_F(SplitSearchPortfolio, ShortFileEndsItsWalkAtTheRowsRead) {
  ASSERT_TRUE(qdb::create_portfolio(dir()));
  add_alternating(1, "SHORT", 10);
  // The header claims 1000 quotes; the file holds 10.
  const fs::path dat = m_dir.path() / "F1.DAT";
  std::string bytes = testing_support::read_bytes(dat);
  bytes[2] = static_cast<char>(1001 & 0xFF);
  bytes[3] = static_cast<char>(1001 >> 8);
  testing_support::write_bytes(dat, bytes);
  const Collector found = search();
  EXPECT_EQ(found.lines.size(), 9u);
  EXPECT_FALSE(m_summary.aborted);
}

TEST_F(SplitSearchPortfolio, FewQuotesAndUnreadableSymbolsAreReportedAndPassedOver) {
  ASSERT_TRUE(qdb::create_portfolio(dir()));
  add_alternating(1, "ONE", 1);
  ASSERT_TRUE(
      qdb::append_master_record(dir(), qdb::make_master_record(2, "GONE", "GONE INC", 28, 7)));
  add(3, "FLAT", {bar(10, 10, 10, 100), bar(10, 10, 10, 101)});
  const Collector found = search();
  EXPECT_TRUE(found.lines.empty());
  ASSERT_EQ(found.messages.size(), 3u);
  EXPECT_EQ(found.messages[0].rfind("For symbol GONE\n", 0), 0u) << found.messages[0];
  EXPECT_EQ(found.messages[1],
            "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.");
  EXPECT_EQ(found.messages[2], "No candidate splits found");
  EXPECT_EQ(found.statuses.back(), "Done search");
}

TEST(SplitResults, FileLinesEndInCrLfAndFailureLeavesNothing) {
  testing_support::TempDir dir;
  const std::string path = dir.dir() + "result.txt";
  ASSERT_TRUE(core::write_split_results(path, {"A possible 2 for 1 split on 01/02/90", "B"}));
  EXPECT_EQ(testing_support::read_bytes(path), "A possible 2 for 1 split on 01/02/90\r\nB\r\n");
  EXPECT_FALSE(core::write_split_results(dir.dir() + "missing/result.txt", {"A"}));
  EXPECT_FALSE(fs::exists(dir.path() / "missing"));
}

}  // namespace

// A vendor's portfolio: lower-case file names, symbols beyond the MASTER's in the XMASTER, and
// one symbol held by two entries. Every row is searched in its own entry's file, found through
// the one listing whatever the names' case.
TEST_F(SplitSearchPortfolio, LowerCaseNamesAndXmasterRowsAreSearchedFromTheirOwnEntries) {
  auto alternating = [](int quotes) {
    std::vector<qdb::QuoteBar> bars;
    for (int i = 0; i < quotes; ++i) {
      const float close = i % 2 == 0 ? 100.0f : 50.0f;
      bars.push_back(bar(close, close, close, static_cast<qdb::DateSerial>(40000 + i)));
    }
    return bars;
  };
  testing_support::make_portfolio(dir(), {{1, "DUP", "DUP ONE", alternating(3)},
                                          {256, "DUP", "DUP TWO", alternating(5)},
                                          {300, "XS", "XS INC", alternating(4)}});
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(m_dir.path())) files.push_back(entry.path());
  for (const fs::path& file : files) {
    std::string name = file.filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::rename(file, m_dir.path() / name);
  }
  ASSERT_TRUE(fs::exists(m_dir.path() / "f256.mwd"));
  const Collector found = search();
  EXPECT_TRUE(found.messages.empty()) << found.messages.front();
  EXPECT_EQ(found.lines.size(), 2u + 4u + 3u);
  EXPECT_EQ(found.statuses, (std::vector<std::string>{"DUP", "DUP", "XS", "Done search"}));
  EXPECT_EQ(m_summary.symbols_searched, 3);
}

// A sub-portfolio's "<DIR>" row holds no quotes: the search passes over it and goes on.
TEST_F(SplitSearchPortfolio, SubPortfolioRowsArePassedOver) {
  ASSERT_TRUE(qdb::create_portfolio(dir()));
  add_alternating(1, "AA", 3);
  ASSERT_TRUE(qdb::append_master_record(dir(), qdb::make_directory_record("TECH")));
  add_alternating(2, "ZZ", 3);
  const Collector found = search();
  EXPECT_EQ(found.statuses, (std::vector<std::string>{"AA", "ZZ", "Done search"}));
  EXPECT_TRUE(found.messages.empty());
  EXPECT_EQ(found.lines.size(), 4u);
  EXPECT_EQ(m_summary.symbols_searched, 2);
  EXPECT_FALSE(m_summary.aborted);
}
