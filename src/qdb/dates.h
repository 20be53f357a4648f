// Dates and times: stored YYMMDD/HHMMSS reals, 16-bit serials and codes, texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qdb/mbf.h"

namespace qdb {

// Day count with 1 = 1 January 1900 up to 73049 = 31 December 2099, one step per day;
// 0 = no date. Every date a file of the family can hold has one, and they sort by day.
using DateSerial = std::int32_t;
inline constexpr DateSerial kLastDateSerial = 73049;

// How a data file stores the years below 1960, decided once per file from its last quote.
// kTwoDigit: stored years 00..59 are 2000..2059 (a file whose last quote is stored below
// 600000, such as one wrapping from 991231 to 000103). kLong: the last quote is stored at
// 600000 or above, 2000 on are 1YYMMDD, and stored years 00..59 are 1900..1959.
enum class DateForm { kTwoDigit, kLong };
// The form of a file whose last quote's DATE cell holds last_stored_date.
DateForm date_form_of(float last_stored_date);

// Serial of a date; year is the full year (1900..2099) or years since 1900 (0..199).
// Answers 0 for a month outside 1..12 and a date outside 1900..2099. Excess days run into
// the next month (30 February gives the serial of 1 or 2 March).
DateSerial date_serial(int year, int month, int day);
// True when the day exists in its month (1900 is no leap year, 2000 is) and lies in
// 1900..2099. date_serial itself lets excess days run into the next month; callers refusing
// such input check with this first. year as for date_serial.
bool is_calendar_date(int year, int month, int day);
// Years since 1900, month and day of a serial; all 0 for 0 or a serial outside the range.
void split_date(DateSerial serial, int& years_since_1900, int& month, int& day);
// The full year of a serial (0 for no date).
int date_year(DateSerial serial);
// Weekday of a serial: 0 Sunday .. 6 Saturday (1 January 1900 was a Monday).
int weekday(DateSerial serial);
bool is_weekend(DateSerial serial);
// The nearest Monday-to-Friday day before serial that a file of the given form can store, or
// 0 when there is none: a two-digit file reads stored years below 60 as 2000 on, so it holds
// no date before 1960; a long-form file holds every date from 1 January 1900 on.
DateSerial previous_weekday(DateSerial serial, DateForm form);
// Serial of a native YYMMDD date real stored in a file of the given form.
DateSerial date_from_real(float x, DateForm form = DateForm::kTwoDigit);
// date_from_real for the quotes of one file read in order: the serial of a month's first day is
// worked out once while the cells stay in that month, as a data file's consecutive quotes do.
class DateReader {
 public:
  // As date_from_real(x, form).
  DateSerial from_real(float x, DateForm form);

 private:
  std::int32_t m_month = -1;  // the last month taken, as its cell's value / 100; -1: none
  DateForm m_form = DateForm::kTwoDigit;  // the form it was taken in
  DateSerial m_day_zero = 0;  // that month's first serial less one; 0: worked out the long way
};
// The YYMMDD real of a serial, as stored (years since 1900: 1928 is 28xxxx, 2000 on 1YYMMDD).
float date_to_real(DateSerial serial);
// The same in a file of the given form: a two-digit file keeps 2000..2059 as two-digit years.
float date_to_real(DateSerial serial, DateForm form);
MbfReal date_to_mbf(DateSerial serial);
// h * 1800 + m * 30 + s / 2.
std::uint16_t time_code(int hours, int minutes, int seconds);
std::uint16_t time_from_real(float x);
float time_to_real(std::uint16_t code);
// Seconds since midnight of a native HHMMSS time real, to the second (the time code keeps only
// even seconds); 0 for no time, as time_from_real.
std::int32_t time_seconds_from_real(float x);
// The seconds of a time code (its even second).
std::int32_t time_code_seconds(std::uint16_t code);
// The time code of seconds since midnight.
std::uint16_t time_code_of_seconds(std::int32_t seconds);
// The HHMMSS real of seconds since midnight.
float seconds_to_time_real(std::int32_t seconds);
void split_time(std::uint16_t code, int& hours, int& minutes, int& seconds);

// The twelve date text formats, by their codes 1 to 12: the fields' order, two or four digits
// of the year, and whether a separator stands between the fields.
enum class DateFormat : int {
  kYyMmDd = 1,      // YY/MM/DD
  kYyyyMmDd,        // YYYY/MM/DD
  kMmDdYy,          // MM/DD/YY: every date the user sees or types
  kMmDdYyyy,        // MM/DD/YYYY
  kDdMmYy,          // DD/MM/YY
  kDdMmYyyy,        // DD/MM/YYYY
  kYyMmDdDigits,    // YYMMDD
  kYyyyMmDdDigits,  // YYYYMMDD
  kMmDdYyDigits,    // MMDDYY
  kMmDdYyyyDigits,  // MMDDYYYY
  kDdMmYyDigits,    // DDMMYY
  kDdMmYyyyDigits,  // DDMMYYYY
};
// Room for the longest date text (ten characters) and its terminator.
inline constexpr int kDateTextSize = 11;

// Date text in one of the twelve formats to a serial; 0 when the text holds no date (and for
// a value outside the twelve formats).
DateSerial parse_date(std::string_view text, DateFormat format);
// Serial to text in the format with the separator (empty for a value outside the twelve
// formats).
std::string format_date(DateSerial serial, DateFormat format, char separator);
// The same for the app's texts: MM/DD/YY unless told otherwise.
std::string format_date_string(DateSerial serial, DateFormat format = DateFormat::kMmDdYy,
                               char separator = '/');
// Writes the text of format_date with its terminator into the caller's out (kDateTextSize
// bytes) and answers its length: the export's fast path.
int format_date_to(char* out, DateSerial serial, DateFormat format, char separator);
// format_date_to for many dates in one format, each mostly a few days after the one before, as
// an export writes them: a date in the month of the last text, up to its 28th day, takes that
// text with new day digits instead of being taken apart and written again.
class DateWriter {
 public:
  DateWriter(DateFormat format, char separator);
  // As format_date_to(out, serial, format, separator).
  int write(char* out, DateSerial serial);

 private:
  DateFormat m_format;
  char m_separator;
  DateSerial m_day_zero = -1;  // the last text's month's first serial less one; -1: none kept
  int m_length = 0;
  char m_text[kDateTextSize] = {};
};
// HH:MM:SS of a time code.
std::string format_time_string(std::uint16_t code);
// HH:MM:SS of seconds since midnight.
std::string format_seconds_string(std::int32_t seconds);
// Writes format_seconds_string's 8 characters into out (no terminator) and answers 8.
int format_seconds_to(char* out, std::int32_t seconds);

}  // namespace qdb
