// Small text operations shared by the library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qdb {

// How many characters of the text equal c.
std::int16_t count_char(std::string_view text, char c);
// Removes trailing blanks in place and returns the same text.
std::string& trim_right(std::string& text);
// Length of the text before the n-th occurrence of c (the whole length when fewer occur).
std::int16_t prefix_before(std::string_view text, char c, int n);
// ASCII letters compared without regard to case.
bool equals_ignore_case(std::string_view a, std::string_view b);
// ASCII upper-case copy.
std::string to_upper_ascii(std::string_view text);

}  // namespace qdb
