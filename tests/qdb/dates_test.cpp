// Date serials, time codes, stored date/time reals and date texts.
#include <gtest/gtest.h>

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

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

TEST(DateSerial, KnownDatesBothWays) {
  const struct {
    std::uint16_t serial;
    int y, m, d;  // as split_date gives them back
  } cases[] = {{1, 61, 1, 1},       {14247, 100, 1, 3},  {14244, 99, 12, 31},
               {14610, 100, 12, 31}, {1155, 64, 2, 29},   {65535, 240, 6, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    const Ymd r = split(c.serial);
    EXPECT_EQ(r.y * 10000 + r.m * 100 + r.d, c.y * 10000 + c.m * 100 + c.d);
    EXPECT_EQ(qdb::date_serial(c.y + 1900, c.m, c.d), c.serial);
    EXPECT_EQ(qdb::date_serial(c.y, c.m, c.d), c.serial) << "years since 1900";
  }
  const Ymd zero = split(0);
  EXPECT_EQ(zero.y + zero.m + zero.d, 0);
  // Excess days run into the next month; 31 December 1960 has no serial of its own.
  EXPECT_EQ(qdb::date_serial(1999, 2, 30), qdb::date_serial(1999, 3, 2));
  EXPECT_EQ(qdb::date_serial(2000, 1, 0), qdb::date_serial(1999, 12, 31));
  EXPECT_EQ(qdb::date_serial(1960, 12, 31), 1);
  EXPECT_EQ(qdb::weekday(1), 0);      // 1 January 1961, Sunday
  EXPECT_EQ(qdb::weekday(14247), 1);  // 3 January 2000, Monday
  EXPECT_TRUE(qdb::is_weekend(14245) && qdb::is_weekend(14246));
  EXPECT_FALSE(qdb::is_weekend(14247) || qdb::is_weekend(14251));
  EXPECT_LE(static_cast<unsigned>(qdb::weekday(0)), 6u);
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
  const struct {
    int y, m, d;
  } outside[] = {{2000, 0, 1},   {2000, 13, 1},   {2000, -1, 1},  {2000, 1000, 1}, {2000, kMin, 1},
                 {2000, kMax, 1}, {1960, 12, 30}, {1950, 6, 1},   {0, 1, 1},       {2140, 6, 5},
                 {2200, 1, 1},   {kMax, 1, 1},    {kMin, 12, kMax}};
  for (const auto& c : outside) {
    EXPECT_EQ(qdb::date_serial(c.y, c.m, c.d), 0) << c.y << "-" << c.m << "-" << c.d;
  }
  EXPECT_EQ(qdb::date_serial(2140, 6, 4), 65535);  // one day later would wrap to 0

  const struct {
    int y, m, d;
    bool valid;
  } calendar[] = {{2000, 2, 29, true},  {64, 2, 29, true},    {1999, 2, 29, false},
                  {1999, 2, 30, false}, {1999, 4, 31, false}, {1999, 13, 1, false},
                  {1999, 1, 0, false},  {1960, 12, 31, false}, {1961, 1, 1, true},
                  {2140, 6, 4, true},   {2140, 6, 5, false}};
  for (const auto& c : calendar) {
    EXPECT_EQ(qdb::is_calendar_date(c.y, c.m, c.d), c.valid) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateReal, StoredFormsAndDamagedValues) {
  EXPECT_EQ(qdb::date_from_real(1000103.0f), 14247);
  EXPECT_EQ(qdb::date_from_real(103.0f), 14247);
  EXPECT_EQ(qdb::date_from_real(991231.0f), 14244);
  EXPECT_EQ(qdb::date_from_real(591231.0f), qdb::date_serial(2059, 12, 31));
  EXPECT_EQ(qdb::date_to_real(14247), 1000103.0f);
  EXPECT_EQ(qdb::date_to_real(14244), 991231.0f);
  EXPECT_EQ(qdb::mbf_to_float(qdb::date_to_mbf(14247).bytes), 1000103.0f);
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
  EXPECT_EQ(h * 10000 + m * 100 + s, 93014);
  EXPECT_EQ(qdb::time_from_real(93015.0f), 17107);
  EXPECT_EQ(qdb::time_to_real(17107), 93014.0f);
  for (float x : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(), -93015.0f,
                  -1.0f})
    EXPECT_EQ(qdb::time_from_real(x), 0) << x;
  for (int code = 0; code <= 43199; ++code)
    ASSERT_EQ(qdb::time_from_real(qdb::time_to_real(static_cast<std::uint16_t>(code))), code);
}

// tests/data/golden/dates.txt: "serial format text" lines for the twelve formats, worked out
// with a calendar independent of this library.
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
  // What the golden texts leave out: other separators and formats outside 1..12.
  EXPECT_STREQ(qdb::format_date(14247, 1, '-'), "00-01-03");
  EXPECT_STREQ(qdb::format_date(14247, 0, '/'), "");
  EXPECT_STREQ(qdb::format_date(14247, 13, '/'), "");
  EXPECT_EQ(qdb::format_date_string(14244), "12/31/99");
}

TEST(ParseDate, NormalisedTextsYearWindowsAndRefusals) {
  const struct {
    const char* text;
    int format;
    std::uint16_t serial;
  } cases[] = {
      {"1/3/00", 3, 14247}, {"01-03-00", 3, 14247}, {"1.3.0", 3, 14247}, {"  1/3/00", 3, 14247},
      {"\"01/03/00", 3, 14247}, {"  \"1/3/00", 3, 14247},
      {"1/3/2000", 3, qdb::date_serial(2002, 1, 3)},  // the year's last two digits count
      {"12/31/59", 3, qdb::date_serial(2059, 12, 31)}, {"12/31/60", 3, 1}, {"00/00/00", 3, 0},
      {"2/30/99", 3, qdb::date_serial(1999, 3, 2)},
      {"1/3/00", 4, qdb::date_serial(1999, 1, 3)}, {"3-1-99", 6, qdb::date_serial(1999, 1, 3)},
      {"12/31/1950", 4, qdb::date_serial(2050, 12, 31)},  // 19yy, yy < 60
      {"12/31/2075", 4, qdb::date_serial(2075, 12, 31)}, {"2000/1/3", 2, 14247},
      {"1999-12-31", 2, 14244}, {"  991231", 7, 14244},
      // Refused: wrong shapes, impossible months, formats outside 1..12, too long.
      {"", 3, 0}, {"   ", 3, 0}, {"\"", 3, 0}, {"01/03", 3, 0}, {"010300", 3, 0}, {"1/3", 3, 0},
      {"01/03/00/00/0", 3, 0}, {"/01/03", 3, 0}, {"01//00", 3, 0}, {"01/03/", 3, 0},
      {"13/01/00", 3, 0}, {"00/01/00", 3, 0}, {"\"\"01/03/00", 3, 0}, {"01/03/00", 0, 0},
      {"01/03/00", 13, 0}, {"01/03/00", -3, 0}, {"01/03/2000x", 4, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qdb::parse_date(c.text, c.format), c.serial) << "\"" << c.text << "\" " << c.format;
  }
}

}  // namespace
