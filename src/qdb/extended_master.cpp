#include "qdb/extended_master.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>

#include "qdb/bytes.h"
#include "qdb/file_system.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"

namespace qdb {
namespace {

// Fields a record holds, from its field mask; 7 when the mask says nothing usable.
int fields_of_mask(std::uint8_t mask) {
  const int n = std::popcount(mask);
  return n >= 1 && n <= 8 ? n : 7;
}

std::uint8_t mask_of_fields(int fields) {
  if (fields < 1 || fields > 8) fields = 7;
  return static_cast<std::uint8_t>((1u << fields) - 1u);
}

float master_date_real(const MasterRecord& record, int offset) {
  return mbf_to_float(record.bytes.data() + offset);
}

std::string trimmed_field(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

}  // namespace

std::uint32_t read_u32le(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void write_u32le(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

namespace {

// The text of a zero-padded field, up to its first zero byte.
std::string_view zero_view(const std::uint8_t* p, std::size_t width) {
  const auto* end = std::find(p, p + width, std::uint8_t{0});
  return std::string_view(reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p));
}

}  // namespace

std::string zero_text(const std::uint8_t* p, std::size_t width) {
  return std::string(zero_view(p, width));
}

void set_zero_text(std::uint8_t* p, std::size_t width, std::string_view text) {
  std::memset(p, 0, width);
  std::memcpy(p, text.data(), std::min(text.size(), width - 1));
}

std::uint32_t date_real_to_long(float real) {
  if (!(real > 0.0f) || real > 3000000.0f) return 0;
  return static_cast<std::uint32_t>(std::lround(real)) + 19000000u;
}

float date_long_to_real(std::uint32_t yyyymmdd) {
  if (yyyymmdd < 19000101u || yyyymmdd > 99991231u) return 0.0f;
  return static_cast<float>(yyyymmdd - 19000000u);
}

int emaster_file_number(const std::uint8_t* entry) { return entry[emaster_offset::kFileNumber]; }

int xmaster_file_number(const std::uint8_t* entry) {
  return read_u16le(entry + xmaster_offset::kFileNumber);
}

MasterRecord master_record_from_xmaster(const std::uint8_t* entry) {
  namespace x = xmaster_offset;
  MasterRecord record;
  const int fields = fields_of_mask(entry[x::kFieldMask]);
  record.bytes[master_offset::kRecordLength] = static_cast<std::uint8_t>(4 * fields);
  record.bytes[master_offset::kFieldCount] = static_cast<std::uint8_t>(fields);
  // The texts are taken in place: every lookup and listing turns thousands of entries.
  record.set_issue_name(
      zero_view(entry + x::kLongName, x::kLongNameWidth).substr(0, master_offset::kTextWidth));
  record.set_symbol(zero_view(entry + x::kSymbol, x::kSymbolWidth));
  float_to_mbf(date_long_to_real(read_u32le(entry + x::kFirstDate)),
               record.bytes.data() + master_offset::kFirstDate);
  float_to_mbf(date_long_to_real(read_u32le(entry + x::kLastDate)),
               record.bytes.data() + master_offset::kLastDate);
  record.bytes[master_offset::kPeriodicity] = entry[x::kPeriodicity];
  record.extended_number = static_cast<std::uint16_t>(xmaster_file_number(entry));
  return record;
}

std::string emaster_long_name(const std::uint8_t* entry) {
  return zero_text(entry + emaster_offset::kLongName, emaster_offset::kLongNameWidth);
}

std::string xmaster_long_name(const std::uint8_t* entry) {
  return zero_text(entry + xmaster_offset::kLongName, xmaster_offset::kLongNameWidth);
}

void fill_emaster_entry(std::uint8_t* entry, const MasterRecord& record, int number,
                        std::string_view long_name) {
  namespace e = emaster_offset;
  entry[e::kFileNumber] = static_cast<std::uint8_t>(number);
  entry[e::kFieldCount] = static_cast<std::uint8_t>(record.field_count());
  entry[e::kFieldMask] = mask_of_fields(record.field_count());
  entry[9] = ' ';  // as in every entry of the real files
  rename_emaster_entry(entry, trimmed_field(record.symbol_field()),
                       trimmed_field(record.issue_name_field()));
  if (!long_name.empty()) set_zero_text(entry + e::kLongName, e::kLongNameWidth, long_name);
  entry[e::kPeriodicity] = static_cast<std::uint8_t>(record.periodicity());
  set_emaster_date(entry, false, master_date_real(record, master_offset::kFirstDate));
  set_emaster_date(entry, true, master_date_real(record, master_offset::kLastDate));
}

void fill_xmaster_entry(std::uint8_t* entry, const MasterRecord& record, int number,
                        std::string_view long_name) {
  namespace x = xmaster_offset;
  entry[x::kMarker] = 1;
  write_u16le(entry + x::kFileNumber, static_cast<std::uint16_t>(number));
  entry[x::kFieldMask] = mask_of_fields(record.field_count());
  rename_xmaster_entry(entry, trimmed_field(record.symbol_field()),
                       trimmed_field(record.issue_name_field()));
  if (!long_name.empty()) set_zero_text(entry + x::kLongName, x::kLongNameWidth, long_name);
  entry[x::kPeriodicity] = static_cast<std::uint8_t>(record.periodicity());
  const float first = master_date_real(record, master_offset::kFirstDate);
  set_xmaster_date(entry, false, first);
  write_u32le(entry + x::kFirstDate2, date_real_to_long(first));
  set_xmaster_date(entry, true, master_date_real(record, master_offset::kLastDate));
}

void rename_emaster_entry(std::uint8_t* entry, std::string_view symbol, std::string_view name) {
  namespace e = emaster_offset;
  set_zero_text(entry + e::kSymbol, e::kSymbolWidth, symbol);
  std::memset(entry + e::kIssueName, 0, master_offset::kTextWidth);
  std::memcpy(entry + e::kIssueName, name.data(),
              std::min<std::size_t>(name.size(), master_offset::kTextWidth));
  set_zero_text(entry + e::kLongName, e::kLongNameWidth, name);
}

void rename_xmaster_entry(std::uint8_t* entry, std::string_view symbol, std::string_view name) {
  namespace x = xmaster_offset;
  set_zero_text(entry + x::kSymbol, x::kSymbolWidth, symbol);
  set_zero_text(entry + x::kLongName, x::kLongNameWidth, name);
}

void set_emaster_date(std::uint8_t* entry, bool last, float date_real) {
  namespace e = emaster_offset;
  float_to_ieee_bytes(date_real, entry + (last ? e::kLastDate : e::kFirstDate));
  if (!last) write_u32le(entry + e::kFirstDateLong, date_real_to_long(date_real));
}

void set_xmaster_date(std::uint8_t* entry, bool last, float date_real) {
  namespace x = xmaster_offset;
  write_u32le(entry + (last ? x::kLastDate : x::kFirstDate), date_real_to_long(date_real));
}

RawIndexFile new_xmaster() {
  RawIndexFile file;
  file.header.assign(kXmasterRecordSize, '\0');
  auto* header = reinterpret_cast<std::uint8_t*>(file.header.data());
  header[0] = 0x5D;
  header[1] = 0xFE;
  header[xmaster_offset::kMagic] = 'X';
  header[xmaster_offset::kMagic + 1] = 'M';
  write_u16le(header + xmaster_offset::kNextNumber, kFirstExtendedNumber);
  return file;
}

std::string RawIndexFile::bytes() const {
  std::string all = header;
  for (const std::string& record : records) all += record;
  return all + tail;
}

Result<RawIndexFile> read_raw_index(const std::string& path, std::size_t record_size) {
  std::unique_ptr<ReadFile> file = file_system().open_read(path);
  if (!file) return error_of(path, errno, kFileOpen);
  const std::uint64_t size = file->size();
  if (size < record_size || size > record_size * 70000) {
    return Error{kFileRead, file_name_of(path) + " is not an index file of " +
                                std::to_string(record_size) + "-byte records"};
  }
  std::string all(static_cast<std::size_t>(size), '\0');
  if (file->read(all.data(), all.size()) != all.size()) return error_of(path, EIO, kFileRead);
  RawIndexFile image;
  image.identity = file->identity();
  image.header = all.substr(0, record_size);
  std::size_t at = record_size;
  for (; at + record_size <= all.size(); at += record_size)
    image.records.push_back(all.substr(at, record_size));
  image.tail = all.substr(at);
  return image;
}

std::string long_name_of(const DirListing& listing, const MasterRecord& record) {
  const bool extended = record.is_extended();
  const char* name = extended ? "XMASTER" : "EMASTER";
  if (!listing.contains(name)) return {};
  const auto image =
      read_raw_index(listing.resolve(name), extended ? kXmasterRecordSize : kEmasterRecordSize);
  if (!image) return {};
  for (std::size_t i = 0; i < image->records.size(); ++i) {
    const std::uint8_t* entry = image->entry(i);
    if (extended && xmaster_file_number(entry) == record.file_number())
      return xmaster_long_name(entry);
    if (!extended && emaster_file_number(entry) == record.file_number())
      return emaster_long_name(entry);
  }
  return {};
}

std::optional<std::vector<MasterRecord>> read_xmaster_entries(const std::string& path) {
  const auto image = read_raw_index(path, kXmasterRecordSize);
  if (!image) return std::nullopt;
  const auto* header = reinterpret_cast<const std::uint8_t*>(image->header.data());
  if (header[xmaster_offset::kMagic] != 'X' || header[xmaster_offset::kMagic + 1] != 'M')
    return std::nullopt;
  const std::size_t count =
      std::min<std::size_t>(read_u16le(header + xmaster_offset::kCount), image->records.size());
  std::vector<MasterRecord> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    entries.push_back(master_record_from_xmaster(image->entry(i)));
  return entries;
}

std::string quote_file_name(int file_number) {
  return data_file_name(file_number, file_number >= kFirstExtendedNumber ? "MWD" : "DAT");
}

}  // namespace qdb
