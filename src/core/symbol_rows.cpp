// The symbols grid's row texts, its order, and the reading of a MASTER into rows.
#include "core/symbol_rows.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "core/master_reader.h"
#include "qdb/extended_master.h"
#include "qdb/portfolio_files.h"

namespace core {
namespace {

bool is_symbol_char(std::uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

}  // namespace

std::string symbol_field_text(const qdb::MasterRecord& record) {
  const auto* first = record.bytes.data() + qdb::master_offset::kSymbol;
  const auto* last = first + qdb::master_offset::kTextWidth;
  return std::string(first, std::find_if_not(first, last, is_symbol_char));
}

std::string grid_name_text(const qdb::MasterRecord& record) {
  const auto* first = record.bytes.data() + qdb::master_offset::kIssueName;
  const auto* last = first + qdb::master_offset::kTextWidth;
  const auto* end = std::find(first, last, std::uint8_t{0});
  return std::string(first, end);
}

std::string grid_symbol_text(const qdb::MasterRecord& record) {
  std::string symbol = symbol_field_text(record);
  return symbol.empty() ? grid_name_text(record) : symbol;
}

bool symbol_row_less(const SymbolRow& a, const SymbolRow& b) {
  // Byte-wise: bytes of 0x80 and above sort after ASCII whatever the sign of char.
  return std::lexicographical_compare(
      a.symbol.begin(), a.symbol.end(), b.symbol.begin(), b.symbol.end(),
      [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

MasterListing read_master_rows(const std::string& master_path, int limit) {
  MasterListing listing;
  master_io::Reader reader(qdb::resolve_path(master_path));
  if (!reader.ok()) return listing;
  listing.ok = true;
  listing.header_count = reader.header_count();

  for (int index = 0; index < limit; ++index) {
    qdb::MasterRecord record;
    if (!reader.next(record)) break;
    SymbolRow row;
    row.symbol = grid_symbol_text(record);
    row.name = grid_name_text(record);
    row.file_number = record.file_number();
    row.file_index = index;
    listing.rows.push_back(std::move(row));
  }

  const auto [dir, name] = qdb::split_path(qdb::resolve_path(master_path));
  const qdb::DirListing files(dir);
  if (!files.contains("XMASTER")) return listing;
  const auto extended = qdb::read_xmaster_entries(files.resolve("XMASTER"));
  if (!extended) return listing;
  int index = 0;
  for (const qdb::MasterRecord& record : *extended) {
    SymbolRow row;
    row.symbol = grid_symbol_text(record);
    row.name = grid_name_text(record);
    row.file_number = record.file_number();
    row.file_index = index++;
    row.extended = true;
    listing.rows.push_back(std::move(row));
  }
  listing.extended_count = index;
  return listing;
}

std::vector<SymbolRow> sorted_rows(std::vector<SymbolRow> rows) {
  std::stable_sort(rows.begin(), rows.end(), symbol_row_less);
  return rows;
}

}  // namespace core
