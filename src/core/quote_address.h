// Which quote a quote command acts on. A daily series holds one quote per date, so the date
// is enough; an intraday series holds many, and sometimes the same bars twice, so a command
// there also names the time, or the very record.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "qdb/rewrite.h"

namespace core {

struct QuoteAddress {
  std::int32_t seconds = -1;  // the quote's time, seconds since midnight; -1 none
  std::int32_t record = -1;   // its position in the file (0 the oldest); -1 none
  bool all_matching = false;  // every record of the date and time, not only one
};

// The seconds since midnight of "HH:MM" or "HH:MM:SS" (hours 00 to 23, minutes and seconds
// 00 to 59); nullopt for any other text.
std::optional<std::int32_t> parse_time_text(std::string_view text);

// Narrows request to the records address names.
void address_request(const QuoteAddress& address, qdb::SeriesEditRequest& request);

}  // namespace core
