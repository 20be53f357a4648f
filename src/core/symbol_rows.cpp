// The symbols grid's row texts, its order, and the reading of a MASTER into rows.
#include "core/symbol_rows.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>

#include "core/master_scan.h"
#include "qdb/bytes.h"
#include "qdb/extended_master.h"
#include "qdb/portfolio_files.h"
#include "qdb/series_problem.h"

namespace core {
namespace {

bool is_symbol_char(std::uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

// A long name that says more than the 16-character issue name; empty otherwise.
std::string long_name_beyond(std::string long_name) {
  return long_name.size() > static_cast<std::size_t>(qdb::master_offset::kTextWidth)
             ? long_name
             : std::string();
}

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

std::string sub_portfolio_cause(const std::string& portfolio_dir, const SymbolRow& row) {
  return qdb::sub_portfolio_problem(portfolio_dir, row.symbol, row.sub_dir);
}

MasterListing read_master_rows(const std::string& master_path, int limit,
                               const qdb::DirListing* listed) {
  MasterListing listing;
  MasterScan reader(qdb::resolve_path(master_path));
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
    if (record.is_directory()) {
      row.sub_portfolio = true;
      row.sub_dir = record.directory_name();
    }
    listing.rows.push_back(std::move(row));
  }

  const auto [dir, name] = qdb::split_path(qdb::resolve_path(master_path));
  // The caller's listing of the MASTER's directory when it has one, else a listing of its own.
  std::optional<qdb::DirListing> own;
  const qdb::DirListing& files =
      listed != nullptr && listed->dir() == dir ? *listed : own.emplace(dir);
  if (files.contains("EMASTER")) {
    if (const auto emaster =
            qdb::read_raw_index(files.resolve("EMASTER"), qdb::kEmasterRecordSize)) {
      for (SymbolRow& row : listing.rows) {
        for (std::size_t i = 0; i < emaster->records.size(); ++i) {
          if (qdb::emaster_file_number(emaster->entry(i)) != row.file_number) continue;
          row.long_name = long_name_beyond(qdb::emaster_long_name(emaster->entry(i)));
          break;
        }
      }
    }
  }
  if (!files.contains("XMASTER")) return listing;
  const auto extended = qdb::read_raw_index(files.resolve("XMASTER"), qdb::kXmasterRecordSize);
  if (!extended || extended->header.compare(qdb::xmaster_offset::kMagic, 2, "XM") != 0)
    return listing;
  const auto* header = reinterpret_cast<const std::uint8_t*>(extended->header.data());
  const std::size_t count = std::min<std::size_t>(
      qdb::read_u16le(header + qdb::xmaster_offset::kCount), extended->records.size());
  int index = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const qdb::MasterRecord record = qdb::master_record_from_xmaster(extended->entry(i));
    SymbolRow row;
    row.symbol = grid_symbol_text(record);
    row.name = grid_name_text(record);
    row.file_number = record.file_number();
    row.file_index = index++;
    row.extended = true;
    row.long_name = long_name_beyond(qdb::xmaster_long_name(extended->entry(i)));
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
