// Small text operations shared by the library.
#include "qdb/text.h"

#include <cstddef>
#include <limits>

namespace qdb {
namespace {

// Lengths and counts are 16-bit results; a longer text saturates instead of wrapping negative.
std::int16_t to_i16(std::size_t n) {
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max());
  return static_cast<std::int16_t>(n > kMax ? kMax : n);
}

char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::int16_t count_char(std::string_view text, char c) {
  std::size_t n = 0;
  for (char ch : text) {
    if (ch == c) ++n;
  }
  return to_i16(n);
}

std::string& trim_right(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  text.resize(end);
  return text;
}

std::int16_t prefix_before(std::string_view text, char c, int n) {
  if (n <= 0) return 0;
  int seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == c && ++seen == n) return to_i16(i);
  }
  return to_i16(text.size());
}

bool equals_ignore_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper_ascii(a[i]) != upper_ascii(b[i])) return false;
  }
  return true;
}

std::string to_upper_ascii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upper_ascii(c);
  return out;
}

}  // namespace qdb
