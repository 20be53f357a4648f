// Date serials, time codes, stored date/time reals and date texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "qdb/dates.h"
#include "support/temp_dir.h"

namespace {

struct Ymd {
  int y, m, d;
};

Ymd split(std::uint16_t serial) {
  Ymd r{};
  qdb::split_date(serial, r.y, r.m, r.d);
  return r;
}

TEST(DateSerial, KnownDates) {
  EXPECT_EQ(qdb::date_serial(1961, 1, 1), 1);
  EXPECT_EQ(qdb::date_serial(2000, 1, 3), 14247);
  EXPECT_EQ(qdb::date_serial(100, 1, 3), 14247);
  EXPECT_EQ(qdb::date_serial(1999, 12, 31), 14244);
  EXPECT_EQ(qdb::date_serial(2000, 12, 31), 14610);
  EXPECT_EQ(qdb::date_serial(1964, 3, 1), qdb::date_serial(1964, 2, 29) + 1);
  // Excess days run into the next month.
  EXPECT_EQ(qdb::date_serial(1999, 2, 30), qdb::date_serial(1999, 3, 2));
  // 31 December 1960 has no serial of its own.
  EXPECT_EQ(qdb::date_serial(1960, 12, 31), 1);
}

TEST(DateSerial, SplitGivesTheDateBack) {
  const struct {
    std::uint16_t serial;
    int y, m, d;
  } cases[] = {{1, 61, 1, 1}, {14247, 100, 1, 3}, {14244, 99, 12, 31}, {14610, 100, 12, 31},
               {1155, 64, 2, 29}, {65535, 240, 6, 4}};
  for (const auto& c : cases) {
    const Ymd r = split(c.serial);
    EXPECT_EQ(r.y, c.y) << c.serial;
    EXPECT_EQ(r.m, c.m) << c.serial;
    EXPECT_EQ(r.d, c.d) << c.serial;
  }
  const Ymd zero = split(0);
  EXPECT_EQ(zero.y + zero.m + zero.d, 0);
}

TEST(DateSerial, EverySerialRoundTripsThroughItsParts) {
  for (int s = 1; s <= 65535; ++s) {
    const auto serial = static_cast<std::uint16_t>(s);
    const Ymd r = split(serial);
    ASSERT_TRUE(qdb::is_calendar_date(r.y, r.m, r.d)) << s;
    ASSERT_EQ(qdb::date_serial(r.y, r.m, r.d), serial) << s;
    ASSERT_EQ(qdb::date_from_real(qdb::date_to_real(serial)), serial) << s;
    if (s > 1) {
      ASSERT_EQ(qdb::weekday(serial), (qdb::weekday(static_cast<std::uint16_t>(s - 1)) + 1) % 7);
    }
  }
}

TEST(DateSerial, NoSerialOutsideTheRange) {
  for (int month : {0, 13, -1, 1000, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
    EXPECT_EQ(qdb::date_serial(2000, month, 1), 0) << month;
  EXPECT_EQ(qdb::date_serial(1960, 12, 30), 0);
  EXPECT_EQ(qdb::date_serial(1950, 6, 1), 0);
  EXPECT_EQ(qdb::date_serial(0, 1, 1), 0);
  EXPECT_EQ(qdb::date_serial(2140, 6, 4), 65535);
  EXPECT_EQ(qdb::date_serial(2140, 6, 5), 0);  // would wrap to 0 in 16 bits
  EXPECT_EQ(qdb::date_serial(2200, 1, 1), 0);
  EXPECT_EQ(qdb::date_serial(std::numeric_limits<int>::max(), 1, 1), 0);
  EXPECT_EQ(qdb::date_serial(std::numeric_limits<int>::min(), 12, std::numeric_limits<int>::max()), 0);
  EXPECT_EQ(qdb::date_serial(2000, 1, 0), qdb::date_serial(1999, 12, 31));
}

TEST(DateSerial, CalendarDates) {
  EXPECT_TRUE(qdb::is_calendar_date(2000, 2, 29));
  EXPECT_TRUE(qdb::is_calendar_date(64, 2, 29));
  EXPECT_FALSE(qdb::is_calendar_date(1999, 2, 29));
  EXPECT_FALSE(qdb::is_calendar_date(1999, 2, 30));
  EXPECT_FALSE(qdb::is_calendar_date(1999, 4, 31));
  EXPECT_FALSE(qdb::is_calendar_date(1999, 13, 1));
  EXPECT_FALSE(qdb::is_calendar_date(1999, 1, 0));
  EXPECT_FALSE(qdb::is_calendar_date(1960, 12, 31));
  EXPECT_TRUE(qdb::is_calendar_date(1961, 1, 1));
  EXPECT_TRUE(qdb::is_calendar_date(2140, 6, 4));
  EXPECT_FALSE(qdb::is_calendar_date(2140, 6, 5));
}

TEST(Weekday, KnownDays) {
  EXPECT_EQ(qdb::weekday(1), 0);       // 1 January 1961, Sunday
  EXPECT_EQ(qdb::weekday(14247), 1);   // 3 January 2000, Monday
  EXPECT_TRUE(qdb::is_weekend(14246)); // 2 January 2000, Sunday
  EXPECT_TRUE(qdb::is_weekend(14245)); // 1 January 2000, Saturday
  EXPECT_FALSE(qdb::is_weekend(14247));
  EXPECT_FALSE(qdb::is_weekend(14251)); // Friday
  EXPECT_GE(qdb::weekday(0), 0);
  EXPECT_LE(qdb::weekday(0), 6);
}

TEST(DateReal, StoredForms) {
  EXPECT_EQ(qdb::date_from_real(1000103.0f), 14247);
  EXPECT_EQ(qdb::date_from_real(103.0f), 14247);
  EXPECT_EQ(qdb::date_from_real(991231.0f), 14244);
  EXPECT_EQ(qdb::date_from_real(591231.0f), qdb::date_serial(2059, 12, 31));
  EXPECT_EQ(qdb::date_to_real(14247), 1000103.0f);
  EXPECT_EQ(qdb::date_to_real(14244), 991231.0f);
  const qdb::MbfReal stored = qdb::date_to_mbf(14247);
  EXPECT_EQ(qdb::mbf_to_float(stored.bytes), 1000103.0f);
  EXPECT_EQ(qdb::to_mbf(1000103.0f).bytes[3], stored.bytes[3]);
}

TEST(DateReal, DamagedValuesGiveNoDate) {
  for (float x : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(), -1.0f,
                  -1000103.0f, 3e9f, 0.0f, 1001303.0f, 1003200.0f})
    EXPECT_EQ(qdb::date_from_real(x), 0) << x;
}

TEST(TimeCode, CodesAndReals) {
  EXPECT_EQ(qdb::time_code(9, 30, 15), 17107);
  EXPECT_EQ(qdb::time_code(23, 59, 59), 43199);
  int h, m, s;
  qdb::split_time(17107, h, m, s);
  EXPECT_EQ(h, 9);
  EXPECT_EQ(m, 30);
  EXPECT_EQ(s, 14);
  EXPECT_EQ(qdb::time_from_real(93015.0f), 17107);
  EXPECT_EQ(qdb::time_to_real(17107), 93014.0f);
  EXPECT_EQ(qdb::time_from_real(-1.0f), 0);
  for (float x : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(), -93015.0f})
    EXPECT_EQ(qdb::time_from_real(x), 0) << x;
  for (int code = 0; code <= 43199; ++code)
    ASSERT_EQ(qdb::time_from_real(qdb::time_to_real(static_cast<std::uint16_t>(code))), code);
}

TEST(FormatDate, KnownTexts) {
  EXPECT_STREQ(qdb::format_date(14247, 3, '/'), "01/03/00");
  EXPECT_STREQ(qdb::format_date(14247, 4, '/'), "01/03/2000");
  EXPECT_STREQ(qdb::format_date(14247, 8, '/'), "20000103");
  EXPECT_STREQ(qdb::format_date(0, 3, '/'), "00/00/00");
  EXPECT_STREQ(qdb::format_date(14247, 1, '-'), "00-01-03");
  EXPECT_STREQ(qdb::format_date(14247, 0, '/'), "");
  EXPECT_STREQ(qdb::format_date(14247, 13, '/'), "");
  EXPECT_EQ(qdb::format_date_string(14244), "12/31/99");
}

// tests/data/golden/dates.txt: "serial format text" lines, worked out with a calendar
// independent of this library.
TEST(FormatDate, GoldenTextsBothWays) {
  std::ifstream in(testing_support::test_data("golden/dates.txt"));
  ASSERT_TRUE(in.good());
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int serial = 0, format = 0;
    std::string text;
    fields >> serial >> format >> text;
    SCOPED_TRACE(line);
    ++lines;
    const auto s = static_cast<std::uint16_t>(serial);
    EXPECT_EQ(qdb::format_date_string(s, format, '/'), text);
    // Two-digit years read back as 1960 to 2059 only.
    const bool two_digit_year = format % 2 == 1;
    const int year = split(s).y + 1900;
    if (serial == 0 || !two_digit_year || (year >= 1960 && year <= 2059)) {
      EXPECT_EQ(qdb::parse_date(text, format), s);
    }
  }
  EXPECT_GE(lines, 200);
}

TEST(ParseDate, FormatThreeNormalisation) {
  for (const char* text : {"1/3/00", "01/03/00", "01-03-00", "1.3.0", "  1/3/00", "\"01/03/00", "  \"1/3/00"})
    EXPECT_EQ(qdb::parse_date(text, 3), 14247) << text;
  EXPECT_EQ(qdb::parse_date("1/3/2000", 3), qdb::date_serial(2002, 1, 3));
  EXPECT_EQ(qdb::parse_date("12/31/59", 3), qdb::date_serial(2059, 12, 31));
  EXPECT_EQ(qdb::parse_date("12/31/60", 3), 1);
  EXPECT_EQ(qdb::parse_date("12/31/99", 3), 14244);
  EXPECT_EQ(qdb::parse_date("00/00/00", 3), 0);
  EXPECT_EQ(qdb::parse_date("2/30/99", 3), qdb::date_serial(1999, 3, 2));
}

TEST(ParseDate, UnusableTextsGiveNoDate) {
  for (const char* text : {"", "   ", "\"", "01/03", "010300", "1/3", "01/03/00/00/0", "/01/03", "01//00",
                           "01/03/", "13/01/00", "00/01/00", "\"\"01/03/00"})
    EXPECT_EQ(qdb::parse_date(text, 3), 0) << text;
  EXPECT_EQ(qdb::parse_date("01/03/00", 0), 0);
  EXPECT_EQ(qdb::parse_date("01/03/00", 13), 0);
  EXPECT_EQ(qdb::parse_date("01/03/00", -3), 0);
  EXPECT_EQ(qdb::parse_date("01/03/2000x", 4), 0);  // longer than 10 characters
}

TEST(ParseDate, FourDigitYearFormats) {
  EXPECT_EQ(qdb::parse_date("1/3/00", 4), qdb::date_serial(1999, 1, 3));
  EXPECT_EQ(qdb::parse_date("1/3/2000", 4), 14247);
  EXPECT_EQ(qdb::parse_date("3/1/2000", 6), 14247);
  EXPECT_EQ(qdb::parse_date("3-1-99", 6), qdb::date_serial(1999, 1, 3));
  EXPECT_EQ(qdb::parse_date("12/31/1950", 4), qdb::date_serial(2050, 12, 31));  // 19yy, yy < 60
  EXPECT_EQ(qdb::parse_date("12/31/2075", 4), qdb::date_serial(2075, 12, 31));
  EXPECT_EQ(qdb::parse_date("2000/1/3", 2), 14247);
  EXPECT_EQ(qdb::parse_date("1999-12-31", 2), 14244);
  EXPECT_EQ(qdb::parse_date("2000/01/3", 2), 14247);
}

TEST(ParseDate, DigitFormatsTakeTheTextUnchanged) {
  EXPECT_EQ(qdb::parse_date("000103", 7), 14247);
  EXPECT_EQ(qdb::parse_date("20000103", 8), 14247);
  EXPECT_EQ(qdb::parse_date("010300", 9), 14247);
  EXPECT_EQ(qdb::parse_date("01032000", 10), 14247);
  EXPECT_EQ(qdb::parse_date("030100", 11), 14247);
  EXPECT_EQ(qdb::parse_date("03012000", 12), 14247);
  EXPECT_EQ(qdb::parse_date("  991231", 7), 14244);
}

}  // namespace
