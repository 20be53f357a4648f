// The quote commands on an intraday series: a command addressed to one record changes that
// record's bytes and no other, a record that changed since it was read is refused, and Split,
// Adjust and Add keep working by date on every bar.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command_fixture.h"
#include "core/add_quote.h"
#include "core/adjust_quotes.h"
#include "core/delete_quote.h"
#include "core/edit_quote.h"
#include "core/split_quotes.h"
#include "qdb/dates.h"
#include "support/intraday_portfolio.h"
#include "support/temp_dir.h"

using command_testing::day;
using command_testing::read_bars;
using testing_support::intraday_record;

namespace {

constexpr std::int32_t kOpening = 9 * 3600 + 30 * 60;
constexpr std::int32_t kMidday = 11 * 3600 + 30 * 60 + 37;

// A fresh copy of the intraday portfolio.
struct Intraday {
  Intraday() { testing_support::make_intraday_portfolio(temp.dir()); }
  std::string dir() const { return temp.dir(); }
  core::ViewState view() const { return command_testing::view_of(temp.dir(), "ES"); }
  std::string data() const { return testing_support::read_bytes(temp.path() / "F1.DAT"); }
  testing_support::TempDir temp;
};

core::CommandResult edit_close(const core::ViewState& view, const char* date,
                               core::QuoteAddress address) {
  core::EditQuoteEntry entry;
  entry.date_text = date;
  entry.fields[3] = {"999", false};
  entry.address = address;
  return core::edit_quote(view, entry);
}

struct AddressedCase {
  const char* name;
  bool deletes;
  const char* date;
  core::QuoteAddress address;
  std::vector<int> records;  // the records changed (or left out), in file order
};

TEST(IntradayCommands, AnAddressedCommandChangesOnlyItsRecords) {
  const AddressedCase cases[] = {
      {"edit the midday bar by its record", false, "05/05/11", {kMidday, 7, false}, {7}},
      {"edit a repeated bar by its record", false, "05/03/11", {kMidday, 12, false}, {12}},
      {"edit the midday bar by its time", false, "05/05/11", {kMidday, -1, false}, {7}},
      {"edit every copy of a repeated bar", false, "05/03/11", {kMidday, -1, true}, {4, 12}},
      {"delete the midday bar by its record", true, "05/05/11", {kMidday, 7, false}, {7}},
      {"delete the repeat, not the first copy", true, "05/03/11", {kOpening, 13, false}, {13}},
      {"delete the first copy by its time", true, "05/03/11", {kOpening, -1, false}, {3}},
      {"delete every copy of a repeated bar", true, "05/03/11", {kOpening, -1, true}, {3, 13}},
      {"delete the newest record", true, "05/03/11", {16 * 3600, 14, false}, {14}},
  };
  for (const AddressedCase& c : cases) {
    SCOPED_TRACE(c.name);
    Intraday p;
    const std::string before = p.data();
    const core::CommandResult result = c.deletes ? core::delete_quote(p.view(), c.date, c.address)
                                                 : edit_close(p.view(), c.date, c.address);
    ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
    const std::string after = p.data();
    const auto bars = read_bars(p.dir(), "ES");
    if (c.deletes) {
      ASSERT_EQ(bars.size(), 15 - c.records.size());
      std::string expected = before.substr(32);
      for (auto k = c.records.rbegin(); k != c.records.rend(); ++k)
        expected.erase(static_cast<std::size_t>(*k) * 32, 32);
      EXPECT_EQ(after.substr(32), expected);
    } else {
      ASSERT_EQ(after.size(), before.size());
      for (int k = 0; k < 15; ++k) {
        const bool changed = std::find(c.records.begin(), c.records.end(), k) != c.records.end();
        EXPECT_EQ(intraday_record(after, k) != intraday_record(before, k), changed) << k;
        EXPECT_EQ(bars[static_cast<std::size_t>(k)].close == 999.0f, changed) << k;
      }
    }
  }
}

TEST(IntradayCommands, ARecordChangedSinceItWasReadIsRefusedAndNothingIsWritten) {
  Intraday p;
  const struct {
    const char* name;
    bool deletes;
    core::QuoteAddress address;
  } cases[] = {
      {"edit, another time there", false, {kOpening, 7, false}},
      {"delete, another time there", true, {kOpening, 7, false}},
      {"edit, past the end", false, {kMidday, 15, false}},
      {"delete, past the end", true, {kMidday, 40, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = p.data();
    const core::CommandResult result = c.deletes
                                           ? core::delete_quote(p.view(), "05/05/11", c.address)
                                           : edit_close(p.view(), "05/05/11", c.address);
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0],
              std::string(c.deletes ? "Delete Edit Failed" : "Single Date Edit Failed") +
                  "\nThe file changed: F1.DAT no longer holds the quote of 05/05/11 " +
                  qdb::format_seconds_string(c.address.seconds) +
                  " at its place. Reload the quotes and try again.");
    EXPECT_EQ(result.status, qdb::kQuoteChanged);
    EXPECT_EQ(p.data(), before);
  }
}

TEST(IntradayCommands, SplitAndAdjustScaleEveryBarOfTheDatesInRange) {
  // The newest record is a repeated Tuesday bar, so Tuesday is the last date either takes.
  Intraday p;
  core::AdjustEntry adjust{"05/02/11", "05/03/11", "4"};
  ASSERT_TRUE(core::adjust_quotes(p.view(), adjust).ok);
  core::SplitEntry split{"05/03/11", "2", "1"};  // halves every bar before Tuesday
  ASSERT_TRUE(core::split_quotes(p.view(), split).ok);
  const auto before = testing_support::intraday_bars();
  const auto after = read_bars(p.dir(), "ES");
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t k = 0; k < after.size(); ++k) {
    const qdb::DateSerial date = before[k].date;
    float factor = date <= day(2011, 5, 3) ? 4.0f : 1.0f;
    if (date < day(2011, 5, 3)) factor /= 2.0f;
    EXPECT_FLOAT_EQ(after[k].close, before[k].close * factor) << k;
    EXPECT_EQ(after[k].seconds, before[k].seconds) << k;
  }
}

TEST(IntradayCommands, AddCopiesTheFirstBarOfTheFollowingDate) {
  Intraday p;
  const std::string before = p.data();
  const core::AddQuoteResult result = core::add_quote(p.view(), "05/05/11");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.new_date_text, "05/04/11");
  EXPECT_EQ(result.new_record, 6);
  const auto bars = read_bars(p.dir(), "ES");
  ASSERT_EQ(bars.size(), 16u);
  qdb::QuoteBar expected = testing_support::intraday_bars()[6];  // Thursday's 09:30:00 bar
  EXPECT_EQ(bars[6].date, day(2011, 5, 4));
  EXPECT_EQ(bars[6].seconds, expected.seconds);
  EXPECT_EQ(bars[6].close, expected.close);
  EXPECT_EQ(p.data().substr(32 * 8), before.substr(32 * 7));  // Thursday's bars follow the copy
}

}  // namespace
