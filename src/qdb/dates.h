// Dates and times: stored YYMMDD/HHMMSS reals, 16-bit serials and codes, texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qdb/mbf.h"

namespace qdb {

// Day count with 1 = 1 January 1961; 0 = no date. year is the full year or years since 1900.
// Answers 0 for a month outside 1..12, a date before 1961 and one past the last serial.
std::uint16_t date_serial(int year, int month, int day);
// True when the day exists in its month (leap years as the serials count them: years since 1900
// divisible by 4) and the date has a serial of its own (1 January 1961 up to serial 65535).
// date_serial itself lets excess days run into the next month; callers refusing such input
// check with this first. year is the full year or years since 1900, as for date_serial.
bool is_calendar_date(int year, int month, int day);
// Years since 1900, month and day of a serial of 1 or above.
void split_date(std::uint16_t serial, int& years_since_1900, int& month, int& day);
// Weekday of a serial: 0 Sunday .. 6 Saturday.
int weekday(std::uint16_t serial);
bool is_weekend(std::uint16_t serial);
// Serial of a native YYMMDD date real (two-digit years below 60 count as 2000..2059).
std::uint16_t date_from_real(float x);
// The YYMMDD real of a serial, as stored (years since 1900).
float date_to_real(std::uint16_t serial);
MbfReal date_to_mbf(std::uint16_t serial);
// h * 1800 + m * 30 + s / 2.
std::uint16_t time_code(int hours, int minutes, int seconds);
std::uint16_t time_from_real(float x);
float time_to_real(std::uint16_t code);
void split_time(std::uint16_t code, int& hours, int& minutes, int& seconds);

// Date text in one of the twelve formats to a serial; 0 when the text holds no date.
std::uint16_t parse_date(std::string_view text, int format);
// Serial to text in format 1..12 with the separator. The text lives in a library buffer that
// the next call replaces.
const char* format_date(std::uint16_t serial, int format, char separator);
// Copying convenience: format_date as a std::string.
std::string format_date_string(std::uint16_t serial, int format = 3, char separator = '/');

}  // namespace qdb
