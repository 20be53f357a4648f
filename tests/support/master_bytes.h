// Builders of MASTER files for tests: header and 53-byte entries as raw bytes, field by field.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/master.h"

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

// Writes value as a little-endian 16-bit word at offset.
inline void put_u16(std::string& bytes, std::size_t offset, int value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
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

// The fields of one entry as entry() writes them.
struct MasterEntryFields {
  int file_number = 1;
  std::string symbol;
  std::string name;
  int record_length = 28;
  int field_count = 7;
  float first_date = 0;  // YYMMDD reals
  float last_date = 0;
  char periodicity = 'D';
};

// One 53-byte entry record with MBF dates; every byte not named by the fields is zero.
std::string entry(const MasterEntryFields& wanted);
// A "<DIR>" entry naming a subdirectory (name written as given, up to 8 bytes).
std::string dir_entry(const std::string& name);
// An all-zero header counting count entries (the records given when count < 0), followed by
// the records.
std::string master(const std::vector<std::string>& records, int count = -1);
// The record of an entry's 53 bytes.
qdb::MasterRecord record_of(const std::string& bytes);

// Four bytes of the MBF cell of value.
std::string mbf(float value);

}  // namespace testing_support
