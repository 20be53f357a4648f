#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_fixture.h"
#include "core/add_quote.h"
#include "core/adjust_quotes.h"
#include "core/delete_quote.h"
#include "core/edit_quote.h"
#include "core/split_quotes.h"
#include "qdb/dates.h"
#include "support/failing_file_system.h"

using command_testing::day;
using command_testing::mbf_at;
using command_testing::read_bars;
using command_testing::sample_bars;
using command_testing::SamplePortfolio;

namespace {

constexpr std::size_t kRecord = 28;
// Byte offset of field column c (1-based) of quote k in a 28-byte-record data file.
std::size_t cell(int quote, int column) { return kRecord * (quote + 1) + 4 * (column - 1); }

std::vector<std::string> messages(const core::CommandResult& result) { return result.messages; }
std::vector<std::string> one(const std::string& text) { return {text}; }

core::EditQuoteEntry edit_of(const char* date) {
  core::EditQuoteEntry entry;
  entry.date_text = date;
  return entry;
}

TEST(EditQuote, ChangesOnlyTheGivenFieldAndNoOtherByte) {
  SamplePortfolio p;
  const std::string before = p.data();
  core::EditQuoteEntry entry = edit_of("01/03/00");
  entry.fields[3] = {"12.5", false};  // close
  const core::CommandResult result = core::edit_quote(p.view(), entry);
  ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);

  const std::string after = p.data();
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    const bool close_of_monday = i >= cell(2, 5) && i < cell(2, 5) + 4;
    if (!close_of_monday) {
      ASSERT_EQ(after[i], before[i]) << "byte " << i;
    }
  }
  EXPECT_FLOAT_EQ(mbf_at(after, cell(2, 5)), 12.5f);
  ASSERT_EQ(result.settings.size(), 7u);
  EXPECT_EQ(result.settings[0].section, "Edit");
  EXPECT_EQ(result.settings[0].name, "Date");
  EXPECT_EQ(result.settings[4].name, "Close");
  EXPECT_EQ(result.settings[4].text, "12.5");
}

TEST(EditQuote, RefusesWhatDoesNotConvertAndChangesNothing) {
  SamplePortfolio p;
  const std::string before = p.data();
  for (const char* text : {"", ".", "N/A", "abc", "1e999"}) {
    core::EditQuoteEntry entry = edit_of("01/03/00");
    entry.fields[0] = {text, false};
    const core::CommandResult result = core::edit_quote(p.view(), entry);
    EXPECT_EQ(messages(result),
              one("Invalid Data Entered\nOpen: \"" + std::string(text) + "\" is not a number"))
        << text;
    EXPECT_TRUE(result.refused_entries);
  }
  core::EditQuoteEntry bad_date = edit_of("02/30/00");
  bad_date.fields[0] = {"1", false};
  bad_date.fields[4] = {"x", false};
  EXPECT_EQ(messages(core::edit_quote(p.view(), bad_date)),
            one("Invalid Data Entered\nDate: \"02/30/00\" is not a date; enter one as MM/DD/YY\n"
                "Volume: \"x\" is not a number"));
  // A real date with no quote: nothing to edit, which is no success.
  core::EditQuoteEntry missing = edit_of("12/31/99");
  missing.fields[0] = {"1", false};
  EXPECT_EQ(messages(core::edit_quote(p.view(), missing)), one("Single Date Edit Failed"));
  EXPECT_EQ(p.data(), before);
}

TEST(EditQuote, AFailedWriteLeavesTheDataFileAsItWas) {
  SamplePortfolio p;
  const std::string before = p.data();
  const core::ViewState view = p.view();
  testing_support::FailingFileSystem files;
  files.fail_write(2, "F1.NEW");
  testing_support::InstalledFileSystem installed(files);
  core::EditQuoteEntry entry = edit_of("01/04/00");
  entry.fields[5] = {"5", false};
  const core::CommandResult result = core::edit_quote(view, entry);
  EXPECT_FALSE(result.ok);
  // The command's own text first, then the cause and the file.
  EXPECT_EQ(messages(result), one("Single Date Edit Failed\nF1.DAT: Input/output error"));
  EXPECT_TRUE(result.settings.empty());
  EXPECT_EQ(p.data(), before);
}

TEST(Split, ScalesEveryQuoteBeforeTheSplitDateOnly) {
  SamplePortfolio p;
  const auto before = read_bars(p.dir(), "TEST");
  const core::CommandResult result = core::split_quotes(p.view(), {"01/03/00", "2", "1"});
  ASSERT_TRUE(result.ok);
  const auto after = read_bars(p.dir(), "TEST");
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    const float price = i < 2 ? 0.5f : 1.0f;
    const float quantity = i < 2 ? 2.0f : 1.0f;
    EXPECT_EQ(after[i].date, before[i].date);
    EXPECT_EQ(after[i].open, before[i].open * price);
    EXPECT_EQ(after[i].close, before[i].close * price);
    EXPECT_EQ(after[i].volume, before[i].volume * quantity);
    EXPECT_EQ(after[i].oi, before[i].oi * quantity);
  }
  ASSERT_EQ(result.settings.size(), 3u);
  EXPECT_EQ(result.settings[1].section, "Split");
  EXPECT_EQ(result.settings[1].name, "New");
  EXPECT_EQ(result.settings[1].text, "2");
}

TEST(Split, FactorsAreWorkedOutInFloatArithmetic) {
  std::vector<qdb::QuoteBar> bars = sample_bars();
  bars[0].volume = 1001.0f;
  SamplePortfolio p(bars);
  ASSERT_TRUE(core::split_quotes(p.view(), {"12/30/99", "3", "2"}).ok);
  const auto after = read_bars(p.dir(), "TEST");
  const float two_thirds = 2.0f / 3.0f;
  EXPECT_EQ(after[0].volume, 1501.5f);
  EXPECT_EQ(after[0].open, bars[0].open * two_thirds);
  EXPECT_EQ(after[1].open, bars[1].open);
}

TEST(Split, ChecksTheEntries) {
  SamplePortfolio p;
  const std::string before = p.data();
  // Each refusal names the field and what it allows, one line per failed check.
  const std::string not_a_date = "\" is not a date; enter one from 12/29/99 to 01/05/00";
  const std::vector<std::pair<core::SplitEntry, std::string>> refused = {
      {{"01/06/00", "2", "1"}, "Split Date: 01/06/00 is after the last quote, 01/05/00"},
      {{"12/28/99", "2", "1"}, "Split Date: 12/28/99 is before the first quote, 12/29/99"},
      {{"01/03/00", "0", "1"}, "New Shares: \"0\" is 0; enter a number other than 0"},
      {{"01/03/00", "2", "0"}, "Old Shares: \"0\" is 0; enter a number other than 0"},
      {{"01/03/00", ".", "1"}, "New Shares: \".\" is not a number; enter one other than 0"},
      {{"01/03/00", "", "1"}, "New Shares: \"\" is not a number; enter one other than 0"},
      {{"02/30/00", "2", "1"}, "Split Date: \"02/30/00" + not_a_date},
      {{"13/01/99", "2", "1"}, "Split Date: \"13/01/99" + not_a_date},
      {{"1/3/00", "2", "1"}, "Split Date: \"1/3/00" + not_a_date},
      {{"01/03/ 0", "0", "0"},
       "Split Date: \"01/03/ 0" + not_a_date +
           "\nNew Shares: \"0\" is 0; enter a number other than 0"
           "\nOld Shares: \"0\" is 0; enter a number other than 0"},
  };
  for (const auto& [entry, cause] : refused) {
    EXPECT_EQ(messages(core::split_quotes(p.view(), entry)), one("Invalid Data Entered\n" + cause))
        << entry.date_text << " " << entry.new_shares << " " << entry.old_shares;
  }
  EXPECT_EQ(p.data(), before);
  // The oldest quote's own date is accepted and changes no quote.
  EXPECT_TRUE(core::split_quotes(p.view(), {"12/29/99", "2", "1"}).ok);
  EXPECT_EQ(read_bars(p.dir(), "TEST").front().open, sample_bars().front().open);
}

TEST(Adjust, ScalesTheRangeAndChecksTheEntries) {
  SamplePortfolio p;
  core::AdjustEntry entry{"12/29/99", "01/05/00", "0.5", "2", "1"};
  const core::CommandResult result = core::adjust_quotes(p.view(), entry);
  ASSERT_TRUE(result.ok);
  const auto bars = read_bars(p.dir(), "TEST");
  for (std::size_t i = 0; i < bars.size(); ++i) {
    EXPECT_EQ(bars[i].high, sample_bars()[i].high * 0.5f);
    EXPECT_EQ(bars[i].volume, sample_bars()[i].volume * 2.0f);
    EXPECT_EQ(bars[i].oi, sample_bars()[i].oi);
  }
  ASSERT_EQ(result.settings.size(), 5u);
  EXPECT_EQ(result.settings[4].name, "OIMult");

  const std::string before = p.data();
  // From later than To is allowed: nothing is in the range.
  EXPECT_TRUE(core::adjust_quotes(p.view(), {"01/05/00", "12/29/99", "3", "3", "3"}).ok);
  EXPECT_EQ(read_bars(p.dir(), "TEST")[0].high, bars[0].high);
  const std::vector<std::pair<core::AdjustEntry, std::string>> refused = {
      {{"12/28/99", "01/05/00", "1", "1", "1"},
       "From: 12/28/99 is before the first quote, 12/29/99"},
      {{"12/29/99", "01/06/00", "1", "1", "1"}, "To: 01/06/00 is after the last quote, 01/05/00"},
      {{"12/29/99", "01/05/00", "0", "1", "1"}, "Price: \"0\" is 0; enter a number other than 0"},
      {{"12/29/99", "01/05/00", "1", "0", "1"}, "Volume: \"0\" is 0; enter a number other than 0"},
      {{"12/29/99", "01/05/00", "1", "1", "0"},
       "Open Interest: \"0\" is 0; enter a number other than 0"},
      {{"12/29/99", "01/05/00", "1", "1", "abc"},
       "Open Interest: \"abc\" is not a number; enter one other than 0"},
      {{"00/29/99", "01/06/00", "1", "1", "1"},
       "From: \"00/29/99\" is not a date; enter one from 12/29/99 to 01/05/00\n"
       "To: 01/06/00 is after the last quote, 01/05/00"},
  };
  for (const auto& [bad, cause] : refused)
    EXPECT_EQ(messages(core::adjust_quotes(p.view(), bad)), one("Invalid Data Entered\n" + cause))
        << cause;
  // Negative and fractional multipliers are allowed.
  EXPECT_TRUE(core::adjust_quotes(p.view(), {"01/04/00", "01/04/00", "-1", "0.25", "1"}).ok);
  EXPECT_NE(p.data(), before);
}

// The MASTER's first and last dates of record 1, as date serials.
std::pair<qdb::DateSerial, qdb::DateSerial> master_dates(const SamplePortfolio& p) {
  const std::string master = p.master();
  return {qdb::date_from_real(mbf_at(master, 53 + 25)),
          qdb::date_from_real(mbf_at(master, 53 + 29))};
}

TEST(DeleteQuote, KeepsTheMasterDatesInStep) {
  struct Case {
    const char* date;
    qdb::DateSerial first, last;
  };
  const Case cases[] = {
      {"12/29/99", day(1999, 12, 30), day(2000, 1, 5)},  // the oldest
      {"01/05/00", day(1999, 12, 29), day(2000, 1, 4)},  // the newest
      {"12/30/99", day(1999, 12, 29), day(2000, 1, 5)},  // a middle one
  };
  for (const Case& c : cases) {
    SamplePortfolio p;
    const core::CommandResult result = core::delete_quote(p.view(), c.date);
    ASSERT_TRUE(result.ok) << c.date;
    EXPECT_EQ(read_bars(p.dir(), "TEST").size(), 4u);
    EXPECT_EQ(master_dates(p), std::make_pair(c.first, c.last)) << c.date;
    EXPECT_EQ(result.settings.front().section, "Delete");
    EXPECT_EQ(result.settings.front().text, c.date);
  }
  // The only quote: both dates become its own.
  std::vector<qdb::QuoteBar> single = {sample_bars()[2]};
  single[0].date = day(2000, 1, 3);
  SamplePortfolio only(single);
  ASSERT_TRUE(core::delete_quote(only.view(), "01/03/00").ok);
  EXPECT_TRUE(read_bars(only.dir(), "TEST").empty());
  EXPECT_EQ(master_dates(only), std::make_pair(day(2000, 1, 3), day(2000, 1, 3)));
}

TEST(DeleteQuote, AMissingDateIsReportedByTheLibraryThenTheCommand) {
  SamplePortfolio p;
  const std::string before = p.data();
  const core::CommandResult result = core::delete_quote(p.view(), "12/31/99");
  EXPECT_EQ(messages(result), std::vector<std::string>(
                                  {"failure in delete quote for findrec", "Delete Edit Failed"}));
  EXPECT_EQ(result.status, qdb::kDeleteNotFound);
  EXPECT_EQ(p.data(), before);
}

TEST(AddQuote, FillsTheFridayBeforeAMonday) {
  SamplePortfolio p;
  const std::string before = p.data();
  const core::AddQuoteResult result = core::add_quote(p.view(), "01/03/00");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.new_date_text, "12/31/99");
  EXPECT_EQ(result.settings.front().section, "Add");
  EXPECT_EQ(result.settings.front().text, "12/31/99");

  const std::string after = p.data();
  ASSERT_EQ(after.size(), before.size() + kRecord);
  EXPECT_EQ(static_cast<unsigned char>(after[2]), 7u);  // header record count: 6 -> 7
  const auto bars = read_bars(p.dir(), "TEST");
  ASSERT_EQ(bars.size(), 6u);
  EXPECT_EQ(bars[2].date, day(1999, 12, 31));
  EXPECT_EQ(bars[3].date, day(2000, 1, 3));
  // The copy carries Monday's stored bytes in every column but the date.
  EXPECT_EQ(after.substr(cell(2, 2), 24), before.substr(cell(2, 2), 24));
  EXPECT_EQ(after.substr(cell(3, 1), 28), before.substr(cell(2, 1), 28));
}

TEST(AddQuote, RefusesWhatItCannotInsert) {
  SamplePortfolio p;
  const std::string before = p.data();
  // Wednesday's previous weekday, Tuesday, is already there.
  const core::AddQuoteResult exists = core::add_quote(p.view(), "01/05/00");
  EXPECT_EQ(exists.messages, one("Date 01/04/00 already exists."));
  // Nothing goes before the oldest quote.
  const core::AddQuoteResult oldest = core::add_quote(p.view(), "12/29/99");
  EXPECT_FALSE(oldest.ok);
  ASSERT_EQ(oldest.messages.size(), 1u);
  EXPECT_NE(oldest.messages[0].find("oldest"), std::string::npos);
  // A weekend date, and a weekday without a quote.
  EXPECT_EQ(core::add_quote(p.view(), "01/01/00").messages, one("Add Quote Failed"));
  EXPECT_EQ(core::add_quote(p.view(), "01/07/00").messages, one("Add Quote Failed"));
  EXPECT_EQ(core::add_quote(p.view(), "02/30/00").messages,
            one("Invalid Data Entered\nDate: \"02/30/00\" is not a date; enter one as MM/DD/YY"));
  EXPECT_EQ(p.data(), before);
}

}  // namespace
