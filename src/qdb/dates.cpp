// Dates and times: the stored YYMMDD/HHMMSS reals, 16-bit date serials and time codes, and the
// twelve date text formats.
#include "qdb/dates.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace qdb {
namespace {

// Days before each month in a common year; from March on a leap year adds one.
constexpr int kMonthStart[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
// Days before each month of a leap year, and the month of each of its 366 days.
constexpr int kLeapMonthStart[12] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335};
constexpr auto kLeapMonthOfDay = [] {
  std::array<std::uint8_t, 366> months{};
  for (int month = 1, day = 0; day < 366; ++day) {
    if (month < 12 && day >= kLeapMonthStart[month]) ++month;
    months[static_cast<std::size_t>(day)] = static_cast<std::uint8_t>(month);
  }
  return months;
}();
// Years since 1900 that have serials: 1900 to 2099.
constexpr int kLastYear = 199;
constexpr float kLongFormStart = 600000.0f;

// Years since 1900 divisible by 4, except 1900 itself: right for every year from 1900 to 2099.
bool is_leap(std::int64_t years_since_1900) {
  return years_since_1900 % 4 == 0 && years_since_1900 != 0;
}

// Days from 1 January 1900 to 1 January of the year (years since 1900, 0..200).
std::int64_t days_before_year(std::int64_t y) { return y * 365 + (y > 0 ? (y - 1) / 4 : 0); }

int month_start(int years_since_1900, int month) {
  return kMonthStart[month - 1] + ((month > 2 && is_leap(years_since_1900)) ? 1 : 0);
}

// Field positions of a format inside its normalised text; -1 when the format has no century.
struct FormatFields {
  int century, year, month, day;
};
constexpr FormatFields kFormatFields[12] = {
    {-1, 0, 3, 6}, {0, 2, 5, 8}, {-1, 6, 0, 3}, {6, 8, 0, 3}, {-1, 6, 3, 0}, {6, 8, 3, 0},
    {-1, 0, 2, 4}, {0, 2, 4, 6}, {-1, 4, 0, 2}, {4, 6, 0, 2}, {-1, 4, 2, 0}, {4, 6, 2, 0},
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Integer value of the two characters at pos; reading stops at a non-digit or the end.
int two_digits(const std::string& text, int pos) {
  int value = 0;
  for (int i = pos; i < pos + 2 && i < static_cast<int>(text.size()); ++i) {
    if (!is_digit(text[static_cast<std::size_t>(i)])) break;
    value = value * 10 + (text[static_cast<std::size_t>(i)] - '0');
  }
  return value;
}

// A date part of exactly two characters stays; any other becomes "0" and its first character.
// An empty part has no first character: the text then holds no usable date.
bool normalise_part(std::string_view part, std::string& out) {
  if (part.empty()) return false;
  if (part.size() == 2) {
    out.append(part);
  } else {
    out.push_back('0');
    out.push_back(part[0]);
  }
  return true;
}

// Builds the fixed-position work text of formats 1 to 6 from the text's three parts.
bool normalise_separated(std::string_view text, int format, std::string& work) {
  std::size_t first = std::string_view::npos, last = std::string_view::npos;
  int separators = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (is_digit(text[i])) continue;
    if (first == std::string_view::npos) first = i;
    last = i;
    ++separators;
  }
  if (separators < 2) return false;
  const std::string_view p1 = text.substr(0, first);
  const std::string_view p2 = text.substr(first + 1, last - first - 1);
  const std::string_view p3 = text.substr(last + 1);

  if (format == 2) {
    work.assign(text.substr(0, 5));
    if (!normalise_part(p2, work)) return false;
    work.push_back('/');
    return normalise_part(p3, work);
  }
  if (!normalise_part(p1, work)) return false;
  work.push_back('/');
  if (!normalise_part(p2, work)) return false;
  work.push_back('/');
  if (format == 4 || format == 6) {
    // Only a four-digit year is kept; any other typed year becomes 1999.
    work.append(p3.size() == 4 ? p3 : std::string_view("1999"));
    return true;
  }
  return normalise_part(p3, work);
}

}  // namespace

DateForm date_form_of(float last_stored_date) {
  return last_stored_date >= kLongFormStart ? DateForm::kLong : DateForm::kTwoDigit;
}

DateSerial date_serial(int year, int month, int day) {
  if (month < 1 || month > 12) return 0;
  std::int64_t y = year;
  if (y >= 1900) y -= 1900;
  if (y < 0 || y > kLastYear) return 0;
  const std::int64_t serial = days_before_year(y) + month_start(static_cast<int>(y), month) +
                              static_cast<std::int64_t>(day);
  if (serial < 1 || serial > kLastDateSerial) return 0;
  return static_cast<DateSerial>(serial);
}

bool is_calendar_date(int year, int month, int day) {
  if (month < 1 || month > 12) return false;
  std::int64_t y = year;
  if (y >= 1900) y -= 1900;
  if (y < 0 || y > kLastYear) return false;
  const int length = kMonthLength[month - 1] + ((month == 2 && is_leap(y)) ? 1 : 0);
  return day >= 1 && day <= length;
}

void split_date(DateSerial serial, int& years_since_1900, int& month, int& day) {
  years_since_1900 = month = day = 0;
  if (serial < 1 || serial > kLastDateSerial) return;
  std::int64_t y = (static_cast<std::int64_t>(serial) - 1) * 4 / 1461;
  while (y > 0 && days_before_year(y) >= serial) --y;
  while (days_before_year(y + 1) < serial) ++y;
  years_since_1900 = static_cast<int>(y);
  // The day of the year counted as in a leap year, so that one table gives the month.
  int r = static_cast<int>(serial - days_before_year(y));
  if (!is_leap(y) && r > 59) ++r;
  month = kLeapMonthOfDay[r - 1];
  day = r - kLeapMonthStart[month - 1];
}

int date_year(DateSerial serial) {
  int years = 0, month = 0, day = 0;
  split_date(serial, years, month, day);
  return month == 0 ? 0 : years + 1900;
}

int weekday(DateSerial serial) {
  // 1 January 1900 (serial 1) was a Monday; kept in 0..6 for any serial.
  return static_cast<int>(((serial % 7) + 7) % 7);
}

bool is_weekend(DateSerial serial) {
  const int d = weekday(serial);
  return d == 0 || d == 6;
}

DateSerial previous_weekday(DateSerial serial, DateForm form) {
  DateSerial day = serial - 1;
  while (day >= 1 && is_weekend(day)) --day;
  const DateSerial first = form == DateForm::kTwoDigit ? date_serial(1960, 1, 1) : 1;
  return day >= first ? day : 0;
}

namespace {

// Serial of a whole YYMMDD cell value n (0 <= n < 10^9) in a file of the given form.
DateSerial date_from_whole(std::int32_t n, DateForm form) {
  if (form == DateForm::kTwoDigit && n / 10000 < 60) n += 1000000;
  const std::int32_t yy = n / 10000;
  if (yy > kLastYear) return 0;
  return date_serial(yy, (n / 100) % 100, n % 100);
}

}  // namespace

DateSerial date_from_real(float x, DateForm form) {
  // Damaged cells can hold anything: only values whose parts fit an int are taken apart.
  if (!std::isfinite(x) || x < 0.0f || x >= 1.0e9f) return 0;
  // Stored dates are whole numbers: their parts come from integer arithmetic, which gives the
  // same parts as the general way below.
  const auto whole = static_cast<std::int32_t>(x);
  if (static_cast<float>(whole) == x) return date_from_whole(whole, form);
  float v = x;
  // In a two-digit file a year of 2000 to 2059 (103 for 3 January 2000) reads as the 1000103
  // form; in a long-form file the same cell is 1900 to 1959.
  if (form == DateForm::kTwoDigit && std::trunc(static_cast<double>(v) / 10000.0) < 60.0)
    v = v + 1000000.0f;
  const double d = v;
  const int yy = static_cast<int>(std::trunc(d / 10000.0));
  // Years since 1900 only: a cell of 19000101 or more is no date of the family.
  if (yy > kLastYear) return 0;
  const double rest = d - yy * 10000.0;
  const int mm = static_cast<int>(std::trunc(rest / 100.0));
  const int dd = static_cast<int>(std::trunc(rest - mm * 100.0));
  return date_serial(yy, mm, dd);
}

DateSerial DateReader::from_real(float x, DateForm form) {
  if (!(x >= 0.0f && x < 1.0e9f)) return date_from_real(x, form);
  const auto whole = static_cast<std::int32_t>(x);
  const std::int32_t day = whole % 100;
  if (static_cast<float>(whole) != x || day < 1 || day > 28) return date_from_real(x, form);
  // Days 1 to 28 of a month follow each other in serials, and the form's year rule reads the
  // same for every day of the month (it looks at the year alone): so the month's serials are
  // worked out from its first day once. A month whose 1st or 28th has no serial is read the
  // long way.
  if (whole / 100 != m_month || form != m_form) {
    m_month = whole / 100;
    m_form = form;
    const DateSerial first = date_from_whole(whole - day + 1, form);
    const DateSerial last = date_from_whole(whole - day + 28, form);
    m_day_zero = first != 0 && last == first + 27 ? first - 1 : 0;
  }
  if (m_day_zero == 0) return date_from_whole(whole, form);
  return m_day_zero + day;
}

float date_to_real(DateSerial serial) {
  int yy = 0, mm = 0, dd = 0;
  split_date(serial, yy, mm, dd);
  return static_cast<float>(yy * 10000 + mm * 100 + dd);
}

float date_to_real(DateSerial serial, DateForm form) {
  int yy = 0, mm = 0, dd = 0;
  split_date(serial, yy, mm, dd);
  if (form == DateForm::kTwoDigit && yy >= 100 && yy < 160) yy -= 100;
  return static_cast<float>(yy * 10000 + mm * 100 + dd);
}

MbfReal date_to_mbf(DateSerial serial) { return to_mbf(date_to_real(serial)); }

std::uint16_t time_code(int hours, int minutes, int seconds) {
  const std::int64_t code = static_cast<std::int64_t>(hours) * 1800 +
                            static_cast<std::int64_t>(minutes) * 30 +
                            static_cast<std::int64_t>(seconds) / 2;
  return static_cast<std::uint16_t>(code);  // taken to 16 bits
}

namespace {

// Hours, minutes and seconds of a native HHMMSS real; false for no time.
bool time_parts(float x, int& hh, int& mm, int& ss) {
  // A missing time column reads as -1.0; negative, huge and non-finite values are no time.
  if (!std::isfinite(x) || x < 0.0f || x >= 1.0e9f) return false;
  const double d = x;
  hh = static_cast<int>(std::trunc(d / 10000.0));
  const double rest = d - hh * 10000.0;
  mm = static_cast<int>(std::trunc(rest / 100.0));
  ss = static_cast<int>(std::trunc(rest - mm * 100.0));
  return true;
}

}  // namespace

std::uint16_t time_from_real(float x) {
  int hh = 0, mm = 0, ss = 0;
  return time_parts(x, hh, mm, ss) ? time_code(hh, mm, ss) : 0;
}

std::int32_t time_seconds_from_real(float x) {
  int hh = 0, mm = 0, ss = 0;
  if (!time_parts(x, hh, mm, ss)) return 0;
  // The same seconds the time code counts (so that both agree), to the second.
  return time_code_seconds(time_code(hh, mm, ss)) + (ss % 2 != 0 ? 1 : 0);
}

std::int32_t time_code_seconds(std::uint16_t code) {
  int hh = 0, mm = 0, ss = 0;
  split_time(code, hh, mm, ss);
  return hh * 3600 + mm * 60 + ss;
}

std::uint16_t time_code_of_seconds(std::int32_t seconds) {
  if (seconds <= 0) return 0;  // no time (every quote of a daily series) or a damaged one
  return time_code(seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

float seconds_to_time_real(std::int32_t seconds) {
  if (seconds < 0) return 0.0f;
  return static_cast<float>((seconds / 3600) * 10000 + ((seconds % 3600) / 60) * 100 +
                            seconds % 60);
}

void split_time(std::uint16_t code, int& hours, int& minutes, int& seconds) {
  const unsigned c = code;
  hours = static_cast<int>(c / 1800);
  minutes = static_cast<int>((c % 1800) / 30);
  seconds = static_cast<int>(((c % 1800) % 30) * 2);
}

float time_to_real(std::uint16_t code) {
  int hh = 0, mm = 0, ss = 0;
  split_time(code, hh, mm, ss);
  return static_cast<float>(hh * 10000 + mm * 100 + ss);
}

DateSerial parse_date(std::string_view text, DateFormat date_format) {
  const int format = static_cast<int>(date_format);
  std::size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;
  if (start < text.size() && text[start] == '"') ++start;
  text.remove_prefix(start);
  if (text.empty() || format < 1 || format > 12 || text.size() > 10) return 0;

  std::string work;
  if (format <= 6) {
    if (!normalise_separated(text, format, work)) return 0;
  } else {
    work.assign(text);
  }

  const FormatFields& f = kFormatFields[format - 1];
  const int year = two_digits(work, f.year);
  const int month = two_digits(work, f.month);
  const int day = two_digits(work, f.day);
  int offset = f.century >= 0 ? (two_digits(work, f.century) - 19) * 100 : 0;
  if (year == 0 && month == 0 && day == 0) return 0;
  // Two-digit years 00 to 59 are 2000 to 2059 (and so is 19yy with yy below 60).
  if (year < 60 && offset == 0) offset = 100;
  return date_serial(year + offset, month, day);
}

namespace {

// Two digits of value (0..99) at out.
char* put2(char* out, int value) {
  out[0] = static_cast<char>('0' + value / 10);
  out[1] = static_cast<char>('0' + value % 10);
  return out + 2;
}

}  // namespace

// The twelve date formats as patterns: 'y' the two-digit year, 'Y' the four-digit year, 'm'
// the month, 'd' the day, '/' the separator.
constexpr const char* kDatePatterns[12] = {"y/m/d", "Y/m/d", "m/d/y", "m/d/Y", "d/m/y", "d/m/Y",
                                           "ymd",   "Ymd",   "mdy",   "mdY",   "dmy",   "dmY"};

namespace {

// Where a pattern's text holds each field (-1: not at all), worked out once from the pattern.
struct DateLayout {
  int length = 0;
  int century = -1, year = -1, month = -1, day = -1;
  int separators[2] = {-1, -1};
};

constexpr DateLayout layout_of(const char* pattern) {
  DateLayout layout;
  int separators = 0;
  for (const char* token = pattern; *token != '\0'; ++token) {
    if (*token == '/') {
      layout.separators[separators++] = layout.length++;
      continue;
    }
    if (*token == 'Y') {  // the century's two digits, then the year's
      layout.century = layout.length;
      layout.length += 2;
    }
    int& field = *token == 'm' ? layout.month : *token == 'd' ? layout.day : layout.year;
    field = layout.length;
    layout.length += 2;
  }
  return layout;
}

constexpr auto kDateLayouts = [] {
  std::array<DateLayout, 12> layouts{};
  for (std::size_t i = 0; i < layouts.size(); ++i) layouts[i] = layout_of(kDatePatterns[i]);
  return layouts;
}();

}  // namespace

namespace {

// format_date_to of a serial already taken apart (month 0: no date).
int write_date_parts(char* out, const DateLayout& layout, int years, int mm, int dd,
                     char separator) {
  const bool dated = mm != 0;
  if (layout.century >= 0) put2(out + layout.century, dated ? years / 100 + 19 : 0);
  put2(out + layout.year, dated ? years % 100 : 0);
  put2(out + layout.month, mm);
  put2(out + layout.day, dd);
  for (const int at : layout.separators)
    if (at >= 0) out[at] = separator;
  out[layout.length] = '\0';
  return layout.length;
}

bool is_date_format(DateFormat date_format) {
  const int format = static_cast<int>(date_format);
  return format >= 1 && format <= 12;
}

const DateLayout& layout_for(DateFormat date_format) {
  return kDateLayouts[static_cast<std::size_t>(static_cast<int>(date_format) - 1)];
}

}  // namespace

int format_date_to(char* out, DateSerial serial, DateFormat date_format, char separator) {
  if (!is_date_format(date_format)) {
    *out = '\0';
    return 0;
  }
  int years = 0, mm = 0, dd = 0;
  split_date(serial, years, mm, dd);
  return write_date_parts(out, layout_for(date_format), years, mm, dd, separator);
}

DateWriter::DateWriter(DateFormat format, char separator)
    : m_format(format), m_separator(separator) {}

int DateWriter::write(char* out, DateSerial serial) {
  const DateSerial day = serial - m_day_zero;
  if (m_day_zero >= 0 && day >= 1 && day <= 28) {
    std::memcpy(out, m_text, sizeof m_text);
    put2(out + layout_for(m_format).day, day);
    return m_length;
  }
  if (!is_date_format(m_format)) return format_date_to(out, serial, m_format, m_separator);
  int years = 0, mm = 0, dd = 0;
  split_date(serial, years, mm, dd);
  m_length = write_date_parts(m_text, layout_for(m_format), years, mm, dd, m_separator);
  // Every month has 28 days: the serials after its day 0 up to its 28th day are in it.
  m_day_zero = mm != 0 ? serial - dd : -1;
  std::memcpy(out, m_text, sizeof m_text);
  return m_length;
}

std::string format_date(DateSerial serial, DateFormat format, char separator) {
  char text[kDateTextSize];
  return std::string(text,
                     static_cast<std::size_t>(format_date_to(text, serial, format, separator)));
}

std::string format_date_string(DateSerial serial, DateFormat format, char separator) {
  return format_date(serial, format, separator);
}

std::string format_time_string(std::uint16_t code) {
  return format_seconds_string(time_code_seconds(code));
}

int format_seconds_to(char* out, std::int32_t seconds) {
  if (seconds < 0) seconds = 0;
  const int hh = static_cast<int>(seconds / 3600);
  const int mm = static_cast<int>((seconds % 3600) / 60);
  const int ss = static_cast<int>(seconds % 60);
  char* p = put2(out, hh % 100);
  *p++ = ':';
  p = put2(p, mm);
  *p++ = ':';
  p = put2(p, ss);
  return static_cast<int>(p - out);
}

std::string format_seconds_string(std::int32_t seconds) {
  char text[8];
  return std::string(text, static_cast<std::size_t>(format_seconds_to(text, seconds)));
}

}  // namespace qdb
