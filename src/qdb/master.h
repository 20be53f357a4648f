// The MASTER index file: 53-byte records, and the lookup of a symbol in a MASTER tree.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "qdb/status.h"

namespace qdb {

inline constexpr std::size_t kMasterRecordSize = 53;
inline constexpr int kMaxSymbols = 255;

// Field offsets inside a 53-byte entry record.
namespace master_offset {
inline constexpr int kFileNumber = 0;
inline constexpr int kRecordLength = 3;
inline constexpr int kFieldCount = 4;
inline constexpr int kIssueName = 7;
inline constexpr int kFirstDate = 25;
inline constexpr int kLastDate = 29;
inline constexpr int kPeriodicity = 33;
inline constexpr int kSymbol = 36;
inline constexpr int kTextWidth = 16;
}  // namespace master_offset

// One 53-byte MASTER entry exactly as stored. Records handed out by find_symbol hold native
// IEEE reals (little-endian) in their two date fields instead of MBF cells.
struct MasterRecord {
  std::array<std::uint8_t, kMasterRecordSize> bytes{};
  // The file number of an entry that comes from an XMASTER (256 and up); 0 for a MASTER entry.
  std::uint16_t extended_number = 0;

  int file_number() const {
    return extended_number != 0 ? extended_number : bytes[master_offset::kFileNumber];
  }
  bool is_extended() const { return extended_number != 0; }
  // Signed, as the library treats it: lengths 1 to 127 are usable.
  int record_length() const {
    return static_cast<std::int8_t>(bytes[master_offset::kRecordLength]);
  }
  int field_count() const { return static_cast<std::int8_t>(bytes[master_offset::kFieldCount]); }
  char periodicity() const { return static_cast<char>(bytes[master_offset::kPeriodicity]); }
  // The raw 16-byte issue name and symbol fields.
  std::string issue_name_field() const;
  std::string symbol_field() const;
  // Writes a 16-byte field, blank-padded on the right (longer texts are cut at 16).
  void set_issue_name(std::string_view name);
  void set_symbol(std::string_view symbol);
  // A "<DIR>" entry naming a sub-portfolio.
  bool is_directory() const;
  // The subdirectory name of a "<DIR>" entry (bytes 7 to 14, trailing blanks removed).
  std::string directory_name() const;
};

// The 53-byte header record.
struct MasterHeader {
  std::array<std::uint8_t, kMasterRecordSize> bytes{};

  std::uint16_t count() const;   // the number of entries
  std::uint16_t count2() const;  // the second counter at offset 2
  void set_count(std::uint16_t n);
  void set_count2(std::uint16_t n);
};

// Normalises a caller's directory text: appends the platform separator unless the text is
// empty or already ends in one (on Windows also when it ends in ':').
std::string normalize_dir(std::string_view dir);

// True when the entry matches the key by issue name or by symbol (rules of the lookup).
bool symbol_matches(const MasterRecord& record, std::string_view key);

// Finds the first entry matching key in the MASTER tree rooted at root. On success the record
// (dates as native reals) and the directory holding it (ending in a separator) are filled.
// Returns 0, -8 (not found) or -4 (an entry failed to read during the subdirectory walk).
// A non-zero file_number addresses one entry of root's own MASTER or XMASTER: only the entry
// with that file number is taken, and only while its text still matches key (-8 otherwise), so
// a caller that read the entry once finds that same entry even when another shares its symbol.
StatusCode find_symbol(std::string_view root, std::string_view key, MasterRecord& record_out,
                       std::string& dir_out, int file_number = 0);

}  // namespace qdb
