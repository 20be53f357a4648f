// The symbols grid's row texts, its order, and the reading of a MASTER into rows.
#include "core/symbol_rows.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace core {
namespace {

bool is_symbol_char(std::uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

// The path to open: the given one when it names an existing entry, otherwise the entry of its
// directory whose name matches without regard to case (a portfolio may hold "master").
std::string resolve_master_path(const std::string& master_path) {
  qdb::FileSystem& files = qdb::file_system();
  if (files.exists(master_path)) return master_path;
  return qdb::resolve_path(master_path);
}

}  // namespace

std::string grid_name_text(const qdb::MasterRecord& record) {
  const auto* first = record.bytes.data() + qdb::master_offset::kIssueName;
  const auto* last = first + qdb::master_offset::kTextWidth;
  const auto* end = std::find(first, last, std::uint8_t{0});
  return std::string(first, end);
}

std::string grid_symbol_text(const qdb::MasterRecord& record) {
  const auto* first = record.bytes.data() + qdb::master_offset::kSymbol;
  const auto* last = first + qdb::master_offset::kTextWidth;
  const auto* end = std::find_if_not(first, last, is_symbol_char);
  if (end == first) return grid_name_text(record);
  return std::string(first, end);
}

bool symbol_row_less(const SymbolRow& a, const SymbolRow& b) {
  // Byte-wise: bytes of 0x80 and above sort after ASCII whatever the sign of char.
  return std::lexicographical_compare(
      a.symbol.begin(), a.symbol.end(), b.symbol.begin(), b.symbol.end(),
      [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

MasterListing read_master_rows(const std::string& master_path, int limit) {
  MasterListing listing;
  std::unique_ptr<qdb::ReadFile> file =
      qdb::file_system().open_read(resolve_master_path(master_path));
  if (!file) return listing;

  qdb::MasterHeader header;
  if (file->read(header.bytes.data(), header.bytes.size()) != header.bytes.size()) return listing;
  listing.ok = true;
  // The header count is the first little-endian word, taken as signed.
  listing.header_count = static_cast<std::int16_t>(
      static_cast<std::uint16_t>(header.bytes[0] | (header.bytes[1] << 8)));

  for (int index = 0; index < limit; ++index) {
    qdb::MasterRecord record;
    // A trailing piece shorter than a whole record counts as end of file.
    if (file->read(record.bytes.data(), record.bytes.size()) != record.bytes.size()) break;
    SymbolRow row;
    row.symbol = grid_symbol_text(record);
    row.name = grid_name_text(record);
    row.file_number = record.file_number();
    row.file_index = index;
    listing.rows.push_back(std::move(row));
  }
  return listing;
}

std::vector<SymbolRow> sorted_rows(std::vector<SymbolRow> rows) {
  std::stable_sort(rows.begin(), rows.end(), symbol_row_less);
  return rows;
}

}  // namespace core
