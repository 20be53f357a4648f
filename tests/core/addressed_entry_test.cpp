// A quote command addressed to one entry of a portfolio that lists its symbol twice (once in
// the MASTER, once in the XMASTER) rewrites that entry's file and corrects that entry's dates
// only; and a delete that picks records by their time leaves alone the records a data file
// holds past its header's count.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "command_fixture.h"
#include "core/delete_quote.h"
#include "core/view_state.h"
#include "qdb/dates.h"
#include "qdb/master.h"
#include "qdb/writer.h"
#include "support/intraday_portfolio.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

using command_testing::day;
using testing_support::read_bytes;

namespace {

// The first and last dates the index files give the entry numbered file_number.
std::pair<qdb::DateSerial, qdb::DateSerial> index_dates(const std::string& dir, int file_number) {
  qdb::MasterRecord record;
  std::string found_dir;
  EXPECT_EQ(qdb::find_symbol(dir, "CL", record, found_dir, file_number), qdb::kSuccess);
  float first = 0;
  float last = 0;
  std::memcpy(&first, record.bytes.data() + qdb::master_offset::kFirstDate, 4);
  std::memcpy(&last, record.bytes.data() + qdb::master_offset::kLastDate, 4);
  return {qdb::date_from_real(first, qdb::DateForm::kTwoDigit),
          qdb::date_from_real(last, qdb::DateForm::kTwoDigit)};
}

TEST(AddressedEntry, ADeleteCorrectsTheDatesOfTheAddressedEntryOnly) {
  const std::vector<qdb::QuoteBar> bars = command_testing::sample_bars();
  const struct {
    int file_number;  // the entry addressed
    const char* date;
    const char* changed_file;
    std::pair<qdb::DateSerial, qdb::DateSerial> dates;  // its dates afterwards
  } cases[] = {
      {256, "12/29/99", "F256.MWD", {day(1999, 12, 30), day(2000, 1, 5)}},
      {256, "01/05/00", "F256.MWD", {day(1999, 12, 29), day(2000, 1, 4)}},
      {1, "12/29/99", "F1.DAT", {day(1999, 12, 30), day(2000, 1, 5)}},
      {1, "01/05/00", "F1.DAT", {day(1999, 12, 29), day(2000, 1, 4)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.file_number) + " " + c.date);
    testing_support::TempDir temp;
    testing_support::make_portfolio(
        temp.dir(), {{1, "CL", "CRUDE OIL", bars}, {256, "CL", "CL EXTENDED", bars}});
    const int other = c.file_number == 1 ? 256 : 1;
    const std::string other_file = other == 1 ? "F1.DAT" : "F256.MWD";
    const std::string other_data = read_bytes(temp.path() / other_file);
    const auto other_dates = index_dates(temp.dir(), other);

    core::ViewState view;
    ASSERT_EQ(core::read_view_state(temp.dir(), "CL", view, c.file_number), qdb::kSuccess);
    const core::CommandResult result = core::delete_quote(view, c.date);
    ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
    EXPECT_EQ(read_bytes(temp.path() / c.changed_file).size(),
              read_bytes(temp.path() / other_file).size() - 28);
    EXPECT_EQ(read_bytes(temp.path() / other_file), other_data);
    EXPECT_EQ(index_dates(temp.dir(), c.file_number), c.dates);
    EXPECT_EQ(index_dates(temp.dir(), other), other_dates);
  }
}

TEST(AddressedEntry, RecordsPastTheHeadersCountAreNoQuotesToPick) {
  // The header counts records 0 to 11; the repeated Tuesday bars (12 to 14) follow uncounted.
  testing_support::TempDir temp;
  testing_support::make_intraday_portfolio(temp.dir());
  const std::string path = (temp.path() / "F1.DAT").string();
  std::string data = read_bytes(path);
  data[2] = 13;
  data[3] = 0;
  testing_support::write_bytes(path, data);

  core::QuoteAddress address;
  address.seconds = 9 * 3600 + 30 * 60;
  address.all_matching = true;
  const core::CommandResult result =
      core::delete_quote(command_testing::view_of(temp.dir(), "ES"), "05/03/11", address);
  ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
  // Record 3 goes; the eleven other counted quotes stay counted, and the uncounted records
  // stay as they were.
  std::string expected = data;
  expected.erase(4 * 32, 32);
  expected[2] = 12;
  EXPECT_EQ(read_bytes(path), expected);
  EXPECT_EQ(command_testing::read_bars(temp.dir(), "ES").size(), 11u);
}

TEST(AddressedEntry, AFileShorterThanItsHeaderTakesItsLastRecordAsTheLastQuote) {
  // The header claims 19 quotes; the file holds fewer. A delete of records the file holds
  // corrects the MASTER from those records, never from quotes that are not there.
  const std::vector<qdb::QuoteBar> all = command_testing::sample_bars();
  const struct {
    const char* name;
    std::vector<qdb::QuoteBar> bars;
    core::QuoteAddress address;
    const char* date;
    std::pair<qdb::DateSerial, qdb::DateSerial> dates;  // the MASTER's afterwards
  } cases[] = {
      {"the newest record", all, {-1, 4, false}, "01/05/00", {day(1999, 12, 29), day(2000, 1, 4)}},
      {"the only record", {all[2]}, {-1, 0, false}, "01/03/00", {day(2000, 1, 3), day(2000, 1, 3)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    command_testing::SamplePortfolio p(c.bars);
    const std::string path = p.dir() + "F1.DAT";
    std::string data = read_bytes(path);
    data[2] = 20;
    data[3] = 0;
    testing_support::write_bytes(path, data);
    const core::CommandResult result = core::delete_quote(p.view(), c.date, c.address);
    ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
    const std::string master = p.master();
    const auto at = [&](int offset) {
      return qdb::date_from_real(command_testing::mbf_at(master, 53 + offset));
    };
    EXPECT_EQ(std::make_pair(at(qdb::master_offset::kFirstDate), at(qdb::master_offset::kLastDate)),
              c.dates);
  }
}

TEST(AddressedEntry, ASubPortfoliosEntryHasItsDatesCorrectedInItsOwnMaster) {
  // outer lists AAA (F1) and the sub-portfolio SUB, whose MASTER lists BBB, also F1. BBB is
  // found through outer; deleting its oldest quote corrects SUB's MASTER, never AAA's entry.
  const std::vector<qdb::QuoteBar> bars = command_testing::sample_bars();
  testing_support::TempDir temp;
  const std::string outer = temp.dir() + "outer";
  testing_support::make_portfolio(outer + "/SUB", {{1, "BBB", "BBB CO", bars}});
  testing_support::make_portfolio(outer, {{1, "AAA", "AAA CO", bars}});
  ASSERT_TRUE(qdb::append_master_record(outer, qdb::make_directory_record("SUB")));
  const std::string outer_master = read_bytes(outer + "/MASTER");

  core::ViewState view;
  ASSERT_EQ(core::read_view_state(outer, "BBB", view), qdb::kSuccess);
  const core::CommandResult result = core::delete_quote(view, "12/29/99");
  ASSERT_TRUE(result.ok) << (result.messages.empty() ? "" : result.messages[0]);
  EXPECT_EQ(read_bytes(outer + "/MASTER"), outer_master);
  const std::string sub_master = read_bytes(outer + "/SUB/MASTER");
  EXPECT_EQ(
      qdb::date_from_real(command_testing::mbf_at(sub_master, 53 + qdb::master_offset::kFirstDate)),
      day(1999, 12, 30));
}

}  // namespace
