#include "core/entry_values.h"

#include <charconv>
#include <cmath>
#include <string>

#include "qdb/dates.h"

namespace core {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

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
  if (error != std::errc() || end != text.data() + i || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

qdb::DateSerial entry_date(std::string_view text) {
  // MM/DD/YY, or MM/DD/YYYY with the year taken whole.
  if (text.size() != 8 && text.size() != 10) return 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (at == 2 || at == 5) {
      if (is_digit(text[at]) || is_blank(text[at])) return 0;
    } else if (!is_digit(text[at])) {
      return 0;
    }
  }
  const int month = two_digits(text, 0);
  const int day = two_digits(text, 3);
  int year = two_digits(text, 6);
  if (text.size() == 10) {
    year = year * 100 + two_digits(text, 8);
    if (year < 1900) return 0;
  } else {
    year = year < 60 ? year + 2000 : year + 1900;
  }
  if (!qdb::is_calendar_date(year, month, day)) return 0;
  return qdb::date_serial(year, month, day);
}

qdb::DateSerial view_date(std::string_view text) {
  // The view shows a four-digit year where two digits would read as another century.
  if (text.size() == 10 && entry_date(text) != 0) return entry_date(text);
  return qdb::parse_date(text, qdb::DateFormat::kMmDdYy);
}

}  // namespace core
