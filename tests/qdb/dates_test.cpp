// Date serials, time codes, stored date/time reals and date texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "qdb/dates.h"
#include "support/temp_dir.h"

namespace {

struct Ymd {
  int y, m, d;
};

Ymd split(qdb::DateSerial serial) {
  Ymd r{};
  qdb::split_date(serial, r.y, r.m, r.d);
  return r;
}

// The format of a code as the golden texts and the cases give it, 0 and 13 included: both
// functions refuse a value outside the twelve formats.
qdb::DateFormat format_of(int code) { return static_cast<qdb::DateFormat>(code); }

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

// Serials count days from 1 January 1900 (serial 1) to 31 December 2099 (serial 73049).
TEST(DateSerial, KnownDatesBothWays) {
  const struct {
    qdb::DateSerial serial;
    int y, m, d;  // as split_date gives them back
  } cases[] = {{1, 0, 1, 1},        {59, 0, 2, 28},       {60, 0, 3, 1},      {21914, 59, 12, 31},
               {21915, 60, 1, 1},   {22280, 60, 12, 31},  {22281, 61, 1, 1},  {36527, 100, 1, 3},
               {36524, 99, 12, 31}, {36890, 100, 12, 31}, {23435, 64, 2, 29}, {73049, 199, 12, 31}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.serial);
    const Ymd r = split(c.serial);
    EXPECT_EQ(r.y * 10000 + r.m * 100 + r.d, c.y * 10000 + c.m * 100 + c.d);
    EXPECT_EQ(qdb::date_serial(c.y + 1900, c.m, c.d), c.serial);
    EXPECT_EQ(qdb::date_serial(c.y, c.m, c.d), c.serial) << "years since 1900";
  }
  for (qdb::DateSerial outside : {0, -1, 73050, 1 << 30}) {
    const Ymd none = split(outside);
    EXPECT_EQ(none.y + none.m + none.d, 0) << outside;
  }
  // Excess days run into the next month; 1900 has no 29 February.
  EXPECT_EQ(qdb::date_serial(1999, 2, 30), qdb::date_serial(1999, 3, 2));
  EXPECT_EQ(qdb::date_serial(1900, 2, 29), qdb::date_serial(1900, 3, 1));
  EXPECT_EQ(qdb::date_serial(2000, 1, 0), qdb::date_serial(1999, 12, 31));
  EXPECT_EQ(qdb::weekday(1), 1);      // 1 January 1900, Monday
  EXPECT_EQ(qdb::weekday(22281), 0);  // 1 January 1961, Sunday
  EXPECT_EQ(qdb::weekday(36527), 1);  // 3 January 2000, Monday
  EXPECT_EQ(qdb::weekday(73049), 4);  // 31 December 2099, Thursday
  EXPECT_TRUE(qdb::is_weekend(36525) && qdb::is_weekend(36526));
  EXPECT_FALSE(qdb::is_weekend(36527) || qdb::is_weekend(36531));
  for (qdb::DateSerial s : {0, -5, 1 << 30}) EXPECT_LE(static_cast<unsigned>(qdb::weekday(s)), 6u);
  EXPECT_EQ(qdb::date_year(qdb::date_serial(1928, 10, 1)), 1928);
  EXPECT_EQ(qdb::date_year(0), 0);
}

TEST(DateSerial, EverySerialRoundTripsThroughItsParts) {
  for (qdb::DateSerial s = 1; s <= qdb::kLastDateSerial; ++s) {
    const Ymd r = split(s);
    ASSERT_TRUE(qdb::is_calendar_date(r.y, r.m, r.d)) << s;
    ASSERT_EQ(qdb::date_serial(r.y, r.m, r.d), s) << s;
    const qdb::DateForm form = r.y < 60 ? qdb::DateForm::kLong : qdb::DateForm::kTwoDigit;
    ASSERT_EQ(qdb::date_from_real(qdb::date_to_real(s), form), s) << s;
    ASSERT_EQ(qdb::date_from_real(qdb::date_to_real(s), qdb::DateForm::kLong), s) << s;
    if (r.y >= 60 && r.y < 160) {
      ASSERT_EQ(qdb::date_from_real(qdb::date_to_real(s, qdb::DateForm::kTwoDigit)), s) << s;
    }
    if (s > 1) {
      ASSERT_EQ(qdb::weekday(s), (qdb::weekday(s - 1) + 1) % 7);
    }
  }
}

TEST(DateSerial, NoSerialOutsideTheRange) {
  const struct {
    int y, m, d;
  } outside[] = {{2000, 0, 1},    {2000, 13, 1},  {2000, -1, 1}, {2000, 1000, 1}, {2000, kMin, 1},
                 {2000, kMax, 1}, {1899, 12, 31}, {1900, 1, 0},  {-1, 1, 1},      {2100, 1, 1},
                 {2099, 12, 32},  {200, 1, 1},    {kMax, 1, 1},  {kMin, 12, kMax}};
  for (const auto& c : outside) {
    EXPECT_EQ(qdb::date_serial(c.y, c.m, c.d), 0) << c.y << "-" << c.m << "-" << c.d;
  }

  const struct {
    int y, m, d;
    bool valid;
  } calendar[] = {{2000, 2, 29, true},  {64, 2, 29, true},    {1999, 2, 29, false},
                  {1900, 2, 29, false}, {1904, 2, 29, true},  {1900, 1, 1, true},
                  {1999, 2, 30, false}, {1999, 4, 31, false}, {1999, 13, 1, false},
                  {1999, 1, 0, false},  {1960, 12, 31, true}, {1959, 12, 31, true},
                  {2099, 12, 31, true}, {2100, 1, 1, false},  {1899, 12, 31, false}};
  for (const auto& c : calendar) {
    EXPECT_EQ(qdb::is_calendar_date(c.y, c.m, c.d), c.valid) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateReal, StoredFormsAndDamagedValues) {
  using qdb::DateForm;
  const struct {
    float stored;
    DateForm form;
    int y, m, d;
  } cases[] = {
      {1000103.0f, DateForm::kTwoDigit, 2000, 1, 3},  {1000103.0f, DateForm::kLong, 2000, 1, 3},
      {103.0f, DateForm::kTwoDigit, 2000, 1, 3},      {103.0f, DateForm::kLong, 1900, 1, 3},
      {991231.0f, DateForm::kTwoDigit, 1999, 12, 31}, {991231.0f, DateForm::kLong, 1999, 12, 31},
      {591231.0f, DateForm::kTwoDigit, 2059, 12, 31}, {591231.0f, DateForm::kLong, 1959, 12, 31},
      {281001.0f, DateForm::kLong, 1928, 10, 1},      {600101.0f, DateForm::kLong, 1960, 1, 1},
      {1991231.0f, DateForm::kLong, 2099, 12, 31},    {101.0f, DateForm::kLong, 1900, 1, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qdb::date_from_real(c.stored, c.form), qdb::date_serial(c.y, c.m, c.d)) << c.stored;
  }
  EXPECT_EQ(qdb::date_form_of(599999.0f), DateForm::kTwoDigit);
  EXPECT_EQ(qdb::date_form_of(600000.0f), DateForm::kLong);
  EXPECT_EQ(qdb::date_form_of(1220829.0f), DateForm::kLong);
  EXPECT_EQ(qdb::date_to_real(qdb::date_serial(2000, 1, 3)), 1000103.0f);
  EXPECT_EQ(qdb::date_to_real(qdb::date_serial(1928, 10, 1)), 281001.0f);
  EXPECT_EQ(qdb::date_to_real(qdb::date_serial(1999, 12, 31)), 991231.0f);
  EXPECT_EQ(qdb::date_to_real(qdb::date_serial(2000, 1, 3), DateForm::kTwoDigit), 103.0f);
  EXPECT_EQ(qdb::date_to_real(qdb::date_serial(2060, 1, 3), DateForm::kTwoDigit), 1600103.0f);
  EXPECT_EQ(qdb::mbf_to_float(qdb::date_to_mbf(36527).bytes), 1000103.0f);
  for (float x : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(), -1.0f,
                  -1000103.0f, 3e9f, 0.0f, 1001303.0f, 1003200.0f, 2000101.0f, 20000101.0f}) {
    for (DateForm form : {DateForm::kTwoDigit, DateForm::kLong}) {
      EXPECT_EQ(qdb::date_from_real(x, form), 0) << x;
    }
  }
}

// The readers and writers for runs of dates give what the plain functions give, whatever comes
// next: every day in order, the days of a month backwards, jumps, odd and damaged cells between.
TEST(DateRuns, ReaderAndWriterMatchThePlainFunctions) {
  using qdb::DateForm;
  std::vector<qdb::DateSerial> serials;
  for (qdb::DateSerial s = 0; s <= qdb::kLastDateSerial + 2; ++s) serials.push_back(s);
  for (qdb::DateSerial s = 40000; s > 39900; --s) serials.push_back(s);
  for (qdb::DateSerial s : {59, 60, 61, 36527, 73049, 1, 73021, 73022, 0, -5, 40000, 40027})
    serials.push_back(s);
  for (int code = 0; code <= 13; ++code) {
    qdb::DateWriter writer(format_of(code), '-');
    for (const qdb::DateSerial s : serials) {
      char fast[qdb::kDateTextSize];
      char plain[qdb::kDateTextSize];
      const int length = writer.write(fast, s);
      ASSERT_EQ(length, qdb::format_date_to(plain, s, format_of(code), '-')) << code << " " << s;
      ASSERT_EQ(std::string(fast, static_cast<std::size_t>(length) + 1),
                std::string(plain, static_cast<std::size_t>(length) + 1))
          << code << " " << s;
    }
  }
  std::vector<float> cells;
  for (const qdb::DateSerial s : serials) {
    cells.push_back(qdb::date_to_real(s));
    cells.push_back(qdb::date_to_real(s, DateForm::kTwoDigit));
  }
  for (float x : {1001300.0f, 1001328.0f, 1000229.0f, 1000230.0f, 990228.5f, 990201.0f, 0.0f,
                  -990201.0f, 1991228.0f, 1991201.0f, 2000101.0f, 19000101.0f, 3e9f,
                  std::numeric_limits<float>::quiet_NaN(), 5990215.0f, 101.0f, 100.0f})
    cells.push_back(x);
  for (DateForm form : {DateForm::kTwoDigit, DateForm::kLong}) {
    qdb::DateReader reader;
    for (const float x : cells)
      ASSERT_EQ(reader.from_real(x, form), qdb::date_from_real(x, form)) << x;
  }
  // One reader asked in both forms in turn.
  qdb::DateReader reader;
  for (const float x : {103.0f, 104.0f, 105.0f, 106.0f})
    for (DateForm form : {DateForm::kTwoDigit, DateForm::kLong})
      EXPECT_EQ(reader.from_real(x, form), qdb::date_from_real(x, form)) << x;
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
                  -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
                  -93015.0f, -1.0f})
    EXPECT_EQ(qdb::time_from_real(x), 0) << x;
  // The stored time to the second, beside its code.
  for (float x : {170517.0f, 170516.0f, 0.0f, 235959.0f, 93015.0f}) {
    const std::int32_t seconds = qdb::time_seconds_from_real(x);
    EXPECT_EQ(qdb::seconds_to_time_real(seconds), x);
    EXPECT_EQ(qdb::time_code_of_seconds(seconds), qdb::time_from_real(x)) << x;
  }
  EXPECT_EQ(qdb::format_seconds_string(qdb::time_seconds_from_real(170517.0f)), "17:05:17");
  EXPECT_EQ(qdb::time_seconds_from_real(-1.0f), 0);
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
    const qdb::DateSerial s = serial;
    EXPECT_EQ(qdb::format_date(s, format_of(format), '/'), text);
    // Two-digit years read back as 1960 to 2059 only; four-digit ones from 1960 on (19yy
    // below 1960 reads as 20yy).
    const bool two_digit_year = format % 2 == 1;
    const int year = split(s).y + 1900;
    if (serial == 0 || (year >= 1960 && (!two_digit_year || year <= 2059))) {
      EXPECT_EQ(qdb::parse_date(text, format_of(format)), s);
    }
  }
  EXPECT_GE(lines, 200);
  // What the golden texts leave out: other separators and formats outside 1..12.
  EXPECT_EQ(qdb::format_date(36527, qdb::DateFormat::kYyMmDd, '-'), "00-01-03");
  EXPECT_EQ(qdb::format_date(36527, format_of(0), '/'), "");
  EXPECT_EQ(qdb::format_date(36527, format_of(13), '/'), "");
  EXPECT_EQ(qdb::format_date_string(36524), "12/31/99");
  EXPECT_EQ(qdb::format_date_string(73050), "00/00/00");  // past the last serial: no date
  EXPECT_EQ(qdb::format_time_string(qdb::time_code(17, 5, 17)), "17:05:16");
  EXPECT_EQ(qdb::format_time_string(0), "00:00:00");
}

// The weekday before a date, never before the first date a file of the form can store.
TEST(PreviousWeekday, SkipsWeekendsAndStopsAtTheFormsFirstDate) {
  using qdb::DateForm;
  const qdb::DateSerial monday = qdb::date_serial(2000, 1, 3);
  const qdb::DateSerial first_1960 = qdb::date_serial(1960, 1, 1);  // a Friday
  const struct {
    qdb::DateSerial serial;
    DateForm form;
    qdb::DateSerial want;
  } cases[] = {
      {monday, DateForm::kLong, qdb::date_serial(1999, 12, 31)},
      {monday + 1, DateForm::kTwoDigit, monday},
      {monday + 5, DateForm::kTwoDigit, monday + 4},  // Saturday: Friday
      {first_1960 + 3, DateForm::kTwoDigit, first_1960},
      {first_1960, DateForm::kTwoDigit, 0},
      {first_1960, DateForm::kLong, first_1960 - 1},
      {2, DateForm::kLong, 1},
      {1, DateForm::kLong, 0},
      {0, DateForm::kLong, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qdb::previous_weekday(c.serial, c.form), c.want) << c.serial;
  }
}

TEST(ParseDate, NormalisedTextsYearWindowsAndRefusals) {
  const struct {
    const char* text;
    int format;
    qdb::DateSerial serial;
  } cases[] = {
      {"1/3/00", 3, 36527},
      {"01-03-00", 3, 36527},
      {"1.3.0", 3, 36527},
      {"  1/3/00", 3, 36527},
      {"\"01/03/00", 3, 36527},
      {"  \"1/3/00", 3, 36527},
      {"1/3/2000", 3, qdb::date_serial(2002, 1, 3)},  // the year's last two digits count
      {"12/31/59", 3, qdb::date_serial(2059, 12, 31)},
      {"12/31/60", 3, qdb::date_serial(1960, 12, 31)},
      {"00/00/00", 3, 0},
      {"2/30/99", 3, qdb::date_serial(1999, 3, 2)},
      {"1/3/00", 4, qdb::date_serial(1999, 1, 3)},
      {"3-1-99", 6, qdb::date_serial(1999, 1, 3)},
      {"12/31/1950", 4, qdb::date_serial(2050, 12, 31)},  // 19yy, yy < 60
      {"12/31/2075", 4, qdb::date_serial(2075, 12, 31)},
      {"2000/1/3", 2, 36527},
      {"1999-12-31", 2, 36524},
      {"  991231", 7, 36524},
      // Refused: wrong shapes, impossible months, formats outside 1..12, too long.
      {"", 3, 0},
      {"   ", 3, 0},
      {"\"", 3, 0},
      {"01/03", 3, 0},
      {"010300", 3, 0},
      {"1/3", 3, 0},
      {"01/03/00/00/0", 3, 0},
      {"/01/03", 3, 0},
      {"01//00", 3, 0},
      {"01/03/", 3, 0},
      {"13/01/00", 3, 0},
      {"00/01/00", 3, 0},
      {"\"\"01/03/00", 3, 0},
      {"01/03/00", 0, 0},
      {"01/03/00", 13, 0},
      {"01/03/00", -3, 0},
      {"01/03/2000x", 4, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qdb::parse_date(c.text, format_of(c.format)), c.serial)
        << "\"" << c.text << "\" " << c.format;
  }
}

}  // namespace
