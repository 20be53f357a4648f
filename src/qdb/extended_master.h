// The two index files that stand beside a MASTER in vendor portfolios: EMASTER repeats every
// MASTER entry in a 192-byte record with longer fields, and XMASTER lists the symbols beyond
// the 255 a MASTER can hold (file numbers 256 and up, quotes in F<n>.MWD), in 150-byte records.
// Records are kept as raw bytes; a rewrite changes only the fields named here and copies every
// other byte unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace qdb {

inline constexpr std::size_t kEmasterRecordSize = 192;
inline constexpr std::size_t kXmasterRecordSize = 150;
// The first file number an XMASTER entry takes.
inline constexpr int kFirstExtendedNumber = 256;

namespace emaster_offset {
inline constexpr int kCount = 0;       // header: 16-bit entry count
inline constexpr int kCount2 = 2;      // header: second 16-bit counter, as in MASTER
inline constexpr int kFileNumber = 2;  // entry: file number (8 bits)
inline constexpr int kFieldCount = 6;
inline constexpr int kFieldMask = 7;  // one bit per field present
inline constexpr int kSymbol = 11;    // zero-terminated, up to byte 31
inline constexpr int kSymbolWidth = 21;
inline constexpr int kIssueName = 32;  // 16 bytes, zero-padded
inline constexpr int kPeriodicity = 60;
inline constexpr int kFirstDate = 64;  // IEEE single holding a YYMMDD date real
inline constexpr int kLastDate = 72;
inline constexpr int kFirstDateLong = 126;  // 32-bit YYYYMMDD
inline constexpr int kLongName = 139;       // zero-terminated, to the end of the record
inline constexpr int kLongNameWidth = 53;
}  // namespace emaster_offset

namespace xmaster_offset {
inline constexpr int kMagic = 2;        // header: "XM"
inline constexpr int kCount = 10;       // header: 16-bit entry count
inline constexpr int kCount2 = 14;      // header: a second copy of the count
inline constexpr int kNextNumber = 18;  // header: the file number after the highest in use
inline constexpr int kMarker = 0;       // entry: 1 in every real entry
inline constexpr int kSymbol = 1;       // zero-terminated, up to byte 15
inline constexpr int kSymbolWidth = 15;
inline constexpr int kLongName = 16;  // zero-terminated, up to byte 61
inline constexpr int kLongNameWidth = 46;
inline constexpr int kPeriodicity = 62;
inline constexpr int kFileNumber = 65;  // 16-bit
inline constexpr int kFieldMask = 70;
inline constexpr int kFirstDate = 104;   // 32-bit YYYYMMDD
inline constexpr int kFirstDate2 = 108;  // equal to the first date in every real file
inline constexpr int kLastDate = 116;    // 32-bit YYYYMMDD
}  // namespace xmaster_offset

// Little-endian 32-bit fields.
std::uint32_t read_u32le(const std::uint8_t* p);
void write_u32le(std::uint8_t* p, std::uint32_t v);

// A zero-terminated text field of width bytes (the whole field when it holds no zero).
std::string zero_text(const std::uint8_t* p, std::size_t width);
// Writes text zero-terminated and zero-padded into width bytes; cut to width - 1 bytes.
void set_zero_text(std::uint8_t* p, std::size_t width, std::string_view text);

// YYMMDD date reals (year counted from 1900) and YYYYMMDD integers; 0 stays 0.
std::uint32_t date_real_to_long(float real);
float date_long_to_real(std::uint32_t yyyymmdd);

// The file number of a raw EMASTER or XMASTER entry.
int emaster_file_number(const std::uint8_t* entry);
int xmaster_file_number(const std::uint8_t* entry);

// The MASTER view of an XMASTER entry: symbol, issue name (the long name cut to 16), dates (MBF,
// as stored in a MASTER), periodicity, field count and record length (4 bytes a field), and the
// file number in extended_number.
MasterRecord master_record_from_xmaster(const std::uint8_t* entry);
// The long name of an EMASTER or XMASTER entry.
std::string emaster_long_name(const std::uint8_t* entry);
std::string xmaster_long_name(const std::uint8_t* entry);

// Fills a fresh EMASTER entry (192 zero bytes beforehand) from a MASTER record (stored form,
// MBF dates) with file number number, and long_name.
void fill_emaster_entry(std::uint8_t* entry, const MasterRecord& record, int number,
                        std::string_view long_name);
// Fills a fresh XMASTER entry (150 zero bytes beforehand) likewise.
void fill_xmaster_entry(std::uint8_t* entry, const MasterRecord& record, int number,
                        std::string_view long_name);
// Sets symbol and names of an existing entry; the long name becomes name as well.
void rename_emaster_entry(std::uint8_t* entry, std::string_view symbol, std::string_view name);
void rename_xmaster_entry(std::uint8_t* entry, std::string_view symbol, std::string_view name);
// Sets the first or last date of an existing entry from a YYMMDD date real.
void set_emaster_date(std::uint8_t* entry, bool last, float date_real);
void set_xmaster_date(std::uint8_t* entry, bool last, float date_real);

// A whole EMASTER or XMASTER as raw bytes: the header record, every complete record after it,
// and any trailing piece, kept as they are.
struct RawIndexFile {
  std::string header;
  std::vector<std::string> records;
  std::string tail;
  std::optional<FileIdentity> identity;  // the file as read
  std::uint8_t* entry(std::size_t i) { return reinterpret_cast<std::uint8_t*>(records[i].data()); }
  const std::uint8_t* entry(std::size_t i) const {
    return reinterpret_cast<const std::uint8_t*>(records[i].data());
  }
  // The whole file's bytes.
  std::string bytes() const;
};

// A new XMASTER with no entry: the header record as the vendor's files hold it (their first two
// bytes, "XM" at byte 2, counts of 0, the next file number 256), and nothing after it.
RawIndexFile new_xmaster();

// Reads the file at path in records of record_size bytes. The Error when it doesn't open
// (kFileOpen), its header doesn't read, or it is far too large to be an index file (kFileRead).
Result<RawIndexFile> read_raw_index(const std::string& path, std::size_t record_size);

// The long name that the EMASTER (for a MASTER entry, by file number) or the XMASTER (for an
// XMASTER entry) of listing's directory holds for record; empty when there is none.
std::string long_name_of(const DirListing& listing, const MasterRecord& record);

// The entries of the XMASTER at path, in the MASTER view, in file order: at most as many as
// its header counts and as the file holds whole. nullopt when it doesn't open or holds no
// header with "XM" at byte 2.
std::optional<std::vector<MasterRecord>> read_xmaster_entries(const std::string& path);

// The quote file of a file number: "F<n>.DAT", or "F<n>.MWD" from 256 on.
std::string quote_file_name(int file_number);

}  // namespace qdb
