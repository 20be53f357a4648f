// Converting what the user typed into the quote dialogs' fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// The value of a number field: the longest leading decimal number of the text (leading blanks
// skipped, an optional sign and exponent allowed), as a "%f" scan reads it into a 32-bit
// float. nullopt when the text starts with no number, or the number is out of float range.
std::optional<float> scan_number(std::string_view text);

// The date serial of a date field's text: exactly 8 characters MM/DD/YY with no blank, whose
// digits form a real calendar date from 1 January 1961 on (two-digit years 00..59 are 2000
// to 2059). 0 when the text is not such a date.
std::uint16_t entry_date(std::string_view text);

// Date serial of a date text taken from the view (grid texts); 0 when it holds no date.
std::uint16_t view_date(std::string_view text);

}  // namespace core
