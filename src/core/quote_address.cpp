#include "core/quote_address.h"

namespace core {
namespace {

// The value of exactly two digits at text[at], or -1.
int two_digits(std::string_view text, std::size_t at) {
  if (at + 2 > text.size()) return -1;
  const char a = text[at];
  const char b = text[at + 1];
  if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
  return (a - '0') * 10 + (b - '0');
}

}  // namespace

std::optional<std::int32_t> parse_time_text(std::string_view text) {
  if (text.size() != 5 && text.size() != 8) return std::nullopt;
  if (text[2] != ':' || (text.size() == 8 && text[5] != ':')) return std::nullopt;
  const int hours = two_digits(text, 0);
  const int minutes = two_digits(text, 3);
  const int seconds = text.size() == 8 ? two_digits(text, 6) : 0;
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
    return std::nullopt;
  return hours * 3600 + minutes * 60 + seconds;
}

void address_request(const QuoteAddress& address, qdb::SeriesEditRequest& request) {
  request.record = address.record;
  request.seconds = address.seconds;
  request.every_match = address.all_matching;
}

}  // namespace core
