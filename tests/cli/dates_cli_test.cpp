// Real-data shapes through the CLI: a long-form daily history from 1928 to 2022, a two-digit
// file that wraps across 2000, and a 32-byte intraday file without a DOP. Each is read
// (quotes, export in every date form, facts) and edited (split, adjust, delete-quote,
// add-quote), and an edited data file must equal, byte for byte, the file that the writer
// makes from the expected quotes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;
using Bars = std::vector<qdb::QuoteBar>;

namespace {

qdb::DateSerial day(int y, int m, int d) { return qdb::date_serial(y, m, d); }

enum class Kind { kLong, kWrap, kIntraday };

// One data file shape: its quotes, its layout and how its dates are stored.
struct Shape {
  Bars bars;
  qdb::SeriesLayout layout;
  int record_length = 28;
  int field_count = 7;
  qdb::DateForm form = qdb::DateForm::kLong;
};

// Weekday quotes from first to last, leaving out the days in skip. Prices are multiples of
// 1/8, so halving and doubling them is exact.
Bars weekdays(qdb::DateSerial first, qdb::DateSerial last, std::vector<qdb::DateSerial> skip) {
  Bars bars;
  int i = 0;
  for (qdb::DateSerial d = first; d <= last; ++d) {
    if (qdb::is_weekend(d) || std::count(skip.begin(), skip.end(), d) != 0) continue;
    const float close = 10.0f + static_cast<float>(i % 64) * 0.125f;
    bars.push_back({d, 0, close - 0.25f, close + 0.5f, close - 0.5f, close,
                    1000.0f + static_cast<float>(i % 100), 50.0f});
    ++i;
  }
  return bars;
}

Shape shape_of(Kind kind) {
  Shape s;
  s.layout = qdb::default_layout(28);
  switch (kind) {
    case Kind::kLong:  // 1 October 1928 (281001) to 29 August 2022 (1220829); no 5 October 1928
      s.bars = weekdays(day(1928, 10, 1), day(2022, 8, 29), {day(1928, 10, 5)});
      break;
    case Kind::kWrap:  // 991201 .. 991230, then 000103 .. 000131: no 31 December 1999
      s.bars = weekdays(day(1999, 12, 1), day(2000, 1, 31), {day(1999, 12, 31)});
      s.form = qdb::DateForm::kTwoDigit;
      break;
    case Kind::kIntraday: {  // 29 April 2011 and 3 May 2011, three quotes a day
      s.record_length = 32;
      s.field_count = 8;
      for (int f = 0; f < qdb::kFieldCountAll; ++f)
        s.layout.column[f] = static_cast<std::int16_t>(f + 1);
      float price = 126.125f;
      for (qdb::DateSerial d : {day(2011, 4, 29), day(2011, 5, 3)}) {
        // 170517 as the exchange's files hold it: the odd second is kept.
        for (std::int32_t seconds : {9 * 3600 + 30 * 60, 12 * 3600, 17 * 3600 + 5 * 60 + 17}) {
          s.bars.push_back({d, qdb::time_code_of_seconds(seconds), price, price + 6.0f,
                            price - 1.0f, price + 4.5f, 103200.0f, 0.0f, seconds});
          price += 1.0f;
        }
      }
      break;
    }
  }
  return s;
}

std::string data_file_of(const Shape& s, const Bars& bars) {
  TempDir other;
  EXPECT_TRUE(qdb::write_data_file(other.dir(), 1, bars, s.layout, s.record_length, s.form));
  return read_bytes(other.path() / "F1.DAT");
}

class DatesCli : public ::testing::Test {
 protected:
  // A fresh portfolio holding SPX in the shape of kind.
  void make(Kind kind) {
    m_temp.emplace();
    m_shape = shape_of(kind);
    ASSERT_TRUE(qdb::create_portfolio(dir()));
    ASSERT_TRUE(qdb::write_data_file(dir(), 1, m_shape.bars, m_shape.layout, m_shape.record_length,
                                     m_shape.form));
    qdb::MasterRecord record =
        qdb::make_master_record(1, "SPX", "INDEX", m_shape.record_length, m_shape.field_count,
                                m_shape.bars.front().date, m_shape.bars.back().date);
    if (kind == Kind::kIntraday) record.bytes[qdb::master_offset::kPeriodicity] = 'I';
    ASSERT_TRUE(qdb::append_master_record(dir(), record));
  }
  std::string dir() const { return m_temp->dir(); }
  fs::path path() const { return m_temp->path(); }
  std::string data() const { return read_bytes(path() / "F1.DAT"); }
  std::string master() const { return read_bytes(path() / "MASTER"); }
  std::vector<std::string> lines(const std::vector<std::string>& args) {
    std::vector<std::string> full = args;
    full.insert(full.begin() + 1, dir());
    full.insert(full.begin() + 2, "SPX");
    const auto result = run_cli(full);
    EXPECT_EQ(result.exit_code, 0) << result.err;
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos;
         start = end + 1)
      out.push_back(result.out.substr(start, end - start));
    return out;
  }

  std::optional<TempDir> m_temp;
  Shape m_shape;
};

// quotes (newest first), export in each date form (oldest first) and facts, as first and last
// lines of their output.
TEST_F(DatesCli, ReadsShowEveryDateInItsOwnCentury) {
  const struct {
    Kind kind;
    std::vector<std::string> args;
    const char* first;
    const char* last;
  } cases[] = {
      {Kind::kLong,
       {"quotes"},
       "08/29/22\t",
       "10/01/1928\t9.7500\t10.5000\t9.5000\t10.0000\t1000\t50"},
      {Kind::kLong, {"export", "-"}, "10/01/28 9.7500 ", "08/29/22 "},
      {Kind::kLong, {"export", "-", "--date-format", "mdy2"}, "10/01/28 ", "08/29/22 "},
      {Kind::kLong, {"export", "-", "--date-format", "mdy4"}, "10/01/1928 ", "08/29/2022 "},
      {Kind::kLong, {"export", "-", "--date-format", "iso", "--title"}, "DATE OPEN", "2022-08-29 "},
      {Kind::kLong,
       {"export", "-", "--date-format", "ymd", "--newest-first", "--time"},
       "20220829 ",
       "19281001 9.7500 10.5000 9.5000 10.0000 1000.00 50.00"},
      {Kind::kWrap, {"quotes"}, "01/31/00\t", "12/01/99\t"},
      {Kind::kWrap, {"export", "-", "--date-format", "mdy4"}, "12/01/1999 ", "01/31/2000 "},
      {Kind::kWrap, {"export", "-", "--date-format", "iso"}, "1999-12-01 ", "2000-01-31 "},
      {Kind::kIntraday,
       {"quotes"},
       "05/03/11\t17:05:17\t131.1250\t137.1250\t130.1250\t135.6250\t103200\t0",
       "04/29/11\t09:30:00\t126.1250\t"},
      {Kind::kIntraday,
       {"export", "-", "--time", "--title", "--delimiter", "comma"},
       "DATE,TIME,OPEN,HIGH,LOW,CLOSE,VOL,OI",
       "05/03/11,17:05:17,131.1250,137.1250,130.1250,135.6250,103200.00,0.00"},
      {Kind::kIntraday,
       {"export", "-", "--date-format", "ymd"},
       "20110429 126.1250 ",
       "20110503 131.1250 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    make(c.kind);
    const auto out = lines(c.args);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front().rfind(c.first, 0), 0u) << out.front();
    EXPECT_EQ(out.back().rfind(c.last, 0), 0u) << out.back();
    EXPECT_EQ(out.size(), m_shape.bars.size() + (out.front().rfind("DATE", 0) == 0 ? 1 : 0));
  }
}

TEST_F(DatesCli, FactsNameTheFirstAndLastQuote) {
  const struct {
    Kind kind;
    const char* tail;
  } cases[] = {
      {Kind::kLong, "First date in file*\t 281001\nLast date in file*\t1220829\n"},
      {Kind::kLong, "First quote\t10/01/1928\nLast quote\t08/29/22\n"},
      {Kind::kWrap, "First quote\t12/01/99\nLast quote\t01/31/00\n"},
      {Kind::kIntraday, "Data format\tI Intra-day\n"},
      {Kind::kIntraday, "Time\tWhole Num.\tWhole Num.\n"},
      {Kind::kIntraday, "First quote\t04/29/11 09:30:00\nLast quote\t05/03/11 17:05:17\n"},
  };
  for (const auto& c : cases) {
    make(c.kind);
    const auto result = run_cli({"facts", dir(), "SPX"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_NE(result.out.find(c.tail), std::string::npos) << result.out;
  }
}

// The MASTER's dates are read in the century form of the data file they describe: a 1928
// first date is no disagreement with a 1928 oldest quote.
TEST_F(DatesCli, CheckReadsMasterDatesInTheFilesForm) {
  for (const Kind kind : {Kind::kLong, Kind::kWrap, Kind::kIntraday}) {
    make(kind);
    const auto result = run_cli({"check", dir()});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out, "sound\n");
  }
}

// Each edit names its quotes by date as the user sees them; the data file must become what
// the writer makes of the expected quotes.
TEST_F(DatesCli, EditsActOnTheQuotesTheUserNamed) {
  const auto scale_before = [](qdb::DateSerial split) {
    return [split](Bars& bars) {
      for (auto& b : bars) {
        if (b.date >= split) continue;
        b.open *= 0.5f, b.high *= 0.5f, b.low *= 0.5f, b.close *= 0.5f;
        b.volume *= 2.0f, b.oi *= 2.0f;
      }
    };
  };
  const auto drop = [](qdb::DateSerial date) {  // the first quote of the date
    return [date](Bars& bars) {
      bars.erase(std::find_if(bars.begin(), bars.end(), [&](auto& b) { return b.date == date; }));
    };
  };
  const auto copy_before = [](qdb::DateSerial date, qdb::DateSerial copy_date) {
    return [date, copy_date](Bars& bars) {
      const auto at =
          std::find_if(bars.begin(), bars.end(), [&](auto& b) { return b.date == date; });
      qdb::QuoteBar copy = *at;
      copy.date = copy_date;
      bars.insert(at, copy);
    };
  };
  const struct {
    Kind kind;
    std::vector<std::string> args;
    std::function<void(Bars&)> expect;
  } cases[] = {
      // 2-for-1 on 3 January 2020: every quote from 1928 to 2019 halves.
      {Kind::kLong, {"split", "01/03/20", "2", "1"}, scale_before(day(2020, 1, 3))},
      {Kind::kLong,
       {"adjust", "10/01/1928", "01/02/20", "--price", "0.5", "--volume", "2", "--oi", "2"},
       scale_before(day(2020, 1, 3))},
      {Kind::kLong, {"delete-quote", "10/01/1928"}, drop(day(1928, 10, 1))},
      {Kind::kLong, {"delete-quote", "01/03/1950"}, drop(day(1950, 1, 3))},
      {Kind::kLong, {"add-quote", "10/08/1928"}, copy_before(day(1928, 10, 8), day(1928, 10, 5))},
      {Kind::kWrap, {"split", "01/03/00", "2", "1"}, scale_before(day(2000, 1, 3))},
      {Kind::kWrap, {"delete-quote", "01/03/00"}, drop(day(2000, 1, 3))},
      {Kind::kWrap, {"add-quote", "01/03/00"}, copy_before(day(2000, 1, 3), day(1999, 12, 31))},
      {Kind::kIntraday, {"split", "05/03/11", "2", "1"}, scale_before(day(2011, 5, 3))},
      // A date of several bars needs the bar's time.
      {Kind::kIntraday, {"delete-quote", "05/03/11", "--time", "09:30"}, drop(day(2011, 5, 3))},
      {Kind::kIntraday, {"add-quote", "05/03/11"}, copy_before(day(2011, 5, 3), day(2011, 5, 2))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    make(c.kind);
    Bars expected = m_shape.bars;
    c.expect(expected);
    lines(c.args);
    EXPECT_EQ(data(), data_file_of(m_shape, expected));
  }
  // Deleting the oldest 1928 quote moved the MASTER's first date to the next one.
  make(Kind::kLong);
  lines({"delete-quote", "10/01/1928"});
  EXPECT_EQ(qdb::mbf_to_float(reinterpret_cast<const std::uint8_t*>(master().data() + 53 + 25)),
            281002.0f);
}

// A 32-byte file of 7 fields has no sound layout without a DOP; a missing data file and one
// shorter than its header are named as such.
TEST_F(DatesCli, FailuresNameTheirCause) {
  make(Kind::kWrap);
  std::string master_bytes = master();
  master_bytes[53 + 3] = 36;
  testing_support::write_bytes(path() / "MASTER", master_bytes);
  auto result = run_cli({"quotes", dir(), "SPX"});
  EXPECT_EQ(
      result.err,
      "Error in FillQuotesGrid\nSPX: F1.DAT has 36-byte records and there is no F1.DOP to say "
      "what they hold\n");
  master_bytes[53 + 3] = 28;
  testing_support::write_bytes(path() / "MASTER", master_bytes);
  fs::resize_file(path() / "F1.DAT", 28u * 13u);
  result = run_cli({"quotes", dir(), "SPX"});
  EXPECT_EQ(result.err, "note: F1.DAT is shorter than its header says (12 of 43 quotes)\n");
  fs::remove(path() / "F1.DAT");
  result = run_cli({"export", dir(), "SPX", "-"});
  EXPECT_EQ(result.err, "file export error\nSPX: F1.DAT is missing\n");
  result = run_cli({"facts", dir(), "SPX"});
  EXPECT_NE(result.err.find(": F1.DAT is missing"), std::string::npos) << result.err;
}

}  // namespace
