#include "core/entry_values.h"

#include <charconv>
#include <cmath>
#include <string>

#include "qdb/dates.h"

namespace core {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

int two_digits(std::string_view text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

std::optional<float> scan_number(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && is_digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  // An exponent counts only when digits follow it ("1e" reads as 1).
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && is_digit(text[j])) {
      while (j < text.size() && is_digit(text[j])) ++j;
      i = j;
    }
  }
  // from_chars reads the decimal point whatever the process locale says.
  float value = 0.0f;
  const auto [end, error] =
      std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
  if (error != std::errc() || end != text.data() + i || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

std::uint16_t entry_date(std::string_view text) {
  if (text.size() != 8) return 0;
  for (std::size_t at : {0u, 1u, 3u, 4u, 6u, 7u}) {
    if (!is_digit(text[at])) return 0;
  }
  for (std::size_t at : {2u, 5u}) {
    if (is_digit(text[at]) || is_blank(text[at])) return 0;
  }
  const int month = two_digits(text, 0);
  const int day = two_digits(text, 3);
  const int year = two_digits(text, 6);
  const int years_since_1900 = year < 60 ? year + 100 : year;
  if (!qdb::is_calendar_date(years_since_1900, month, day)) return 0;
  return qdb::date_serial(years_since_1900, month, day);
}

std::uint16_t view_date(std::string_view text) { return qdb::parse_date(text, 3); }

}  // namespace core
