// Converting what the user typed into the quote dialogs' fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include "qdb/dates.h"

namespace core {

// The value of a number field: the longest leading decimal number of the text (leading blanks
// skipped, an optional sign and exponent allowed), as a "%f" scan reads it into a 32-bit
// float. nullopt when the text starts with no number, or the number is out of float range.
std::optional<float> scan_number(std::string_view text);

// The date serial of a date field's text: exactly 8 characters MM/DD/YY, or 10 characters
// MM/DD/YYYY, with no blank, whose digits form a real calendar date of 1900..2099 (two-digit
// years 00..59 are 2000 to 2059, 60..99 are 1960 to 1999; a four-digit year is taken whole).
// 0 when the text is not such a date.
qdb::DateSerial entry_date(std::string_view text);

// Date serial of a date text taken from the view (grid texts: MM/DD/YY, or MM/DD/YYYY for a
// year outside 1960..2059); 0 when it holds no date.
qdb::DateSerial view_date(std::string_view text);

}  // namespace core
