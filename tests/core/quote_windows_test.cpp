// The newest-first windowed reader: window sizes, order, files shorter than their header, and
// the reasons a walk cannot start.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/quote_windows.h"
#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A portfolio holding LONG with quotes daily quotes, its data file cut to `held` records.
std::string portfolio_of(const testing_support::TempDir& dir, int quotes, int held) {
  std::vector<qdb::QuoteBar> bars(static_cast<std::size_t>(quotes));
  for (int i = 0; i < quotes; ++i) {
    bars[static_cast<std::size_t>(i)].date =
        static_cast<std::uint16_t>(qdb::date_serial(1990, 1, 1) + i);
    bars[static_cast<std::size_t>(i)].close = static_cast<float>(i);
  }
  EXPECT_TRUE(qdb::create_portfolio(dir.dir()));
  EXPECT_TRUE(qdb::write_data_file(dir.dir(), 1, bars, qdb::default_layout(28), 28));
  EXPECT_TRUE(
      qdb::append_master_record(dir.dir(), qdb::make_master_record(1, "LONG", "LONG CO", 28, 7)));
  fs::resize_file(dir.path() / "F1.DAT", static_cast<std::uintmax_t>(28 * (held + 1)));
  return dir.dir();
}

TEST(NewestFirstQuotes, WalksWindowsFromTheNewestQuoteDownToTheRowsTheFileHolds) {
  using State = core::NewestFirstQuotes::State;
  struct Case {
    int quotes, held;
    std::vector<int> windows;  // rows of each window, in the order read
    State end;
  };
  const Case cases[] = {
      {0, 0, {}, State::kReading},
      {1, 1, {1}, State::kReading},
      {400, 400, {400}, State::kReading},
      {801, 801, {400, 400, 1}, State::kReading},
      // The header claims 801; the newest window reads short, delivers the last quotes the
      // file holds and ends the walk.
      {801, 650, {249}, State::kShortRead},
      {801, 300, {0}, State::kShortRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.quotes) + " claimed, " + std::to_string(c.held) + " held");
    testing_support::TempDir dir;
    core::NewestFirstQuotes quotes;
    ASSERT_TRUE(quotes.open(portfolio_of(dir, c.quotes, c.held), "LONG"));
    EXPECT_EQ(quotes.total(), c.quotes);
    std::vector<int> windows;
    // Newest first, one by one, from the newest quote the file holds.
    float expected_close = static_cast<float>(c.held - 1);
    while (quotes.next()) {
      windows.push_back(quotes.rows());
      for (int row = quotes.rows() - 1; row >= 0; --row, expected_close -= 1.0f)
        ASSERT_EQ(quotes.window().bar(row).close, expected_close);
    }
    EXPECT_EQ(windows, c.windows);
    EXPECT_EQ(quotes.state(), c.end);
    EXPECT_EQ(quotes.status(), qdb::kSuccess);
    if (c.held > 0) {
      EXPECT_EQ(quotes.quote_date(0), qdb::date_serial(1990, 1, 1));
    }
  }
}

TEST(NewestFirstQuotes, AnUnknownSymbolOrMissingDataFileCannotStart) {
  testing_support::TempDir dir;
  const std::string root = portfolio_of(dir, 3, 3);
  core::NewestFirstQuotes unknown;
  EXPECT_FALSE(unknown.open(root, "NOSUCH"));
  EXPECT_EQ(unknown.state(), core::NewestFirstQuotes::State::kOpenFailed);
  EXPECT_EQ(unknown.status(), qdb::kFileNotFound);
  EXPECT_FALSE(unknown.next());
  EXPECT_EQ(unknown.quote_date(0), 0);

  fs::remove(dir.path() / "F1.DAT");
  core::NewestFirstQuotes missing;
  EXPECT_FALSE(missing.open(root, "LONG"));
  EXPECT_EQ(missing.status(), qdb::kFileOpen);
}

}  // namespace
