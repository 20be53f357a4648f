// Builders of MASTER files for tests: header and 53-byte entries as raw bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace testing_support {

// A 53-byte header whose first word is count and second word count2; the other bytes hold a
// recognisable pattern so tests can see them copied unchanged.
inline std::string master_header(std::uint16_t count, std::uint16_t count2 = 0xFFFF) {
  std::string h(53, '\0');
  h[0] = static_cast<char>(count & 0xFF);
  h[1] = static_cast<char>(count >> 8);
  if (count2 == 0xFFFF) count2 = count;
  h[2] = static_cast<char>(count2 & 0xFF);
  h[3] = static_cast<char>(count2 >> 8);
  for (int i = 4; i < 53; ++i) h[static_cast<std::size_t>(i)] = static_cast<char>(0x40 + i);
  return h;
}

// Copies text into a 16-byte field at offset, blank-padded.
inline void put_field(std::string& record, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < 16; ++i) record[offset + i] = i < text.size() ? text[i] : ' ';
}

// A 53-byte entry with file number, issue name and symbol (blank-padded 16-byte fields); the
// other bytes hold a pattern derived from the file number.
inline std::string master_entry(int file_number, std::string_view name, std::string_view symbol) {
  std::string r(53, '\0');
  for (std::size_t i = 0; i < 53; ++i)
    r[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(file_number)) & 0x7F);
  r[0] = static_cast<char>(file_number);
  r[3] = 28;
  r[4] = 7;
  put_field(r, 7, name);
  r[33] = 'D';
  put_field(r, 36, symbol);
  return r;
}

}  // namespace testing_support
