// The symbols grid's texts and order, shared by the app and the CLI.
#pragma once

#include <string>
#include <vector>

#include "qdb/master.h"

namespace qdb {
class DirListing;
}

namespace core {

// The symbol field cut before its first byte outside 0x21..0x7F (empty for a blank symbol).
std::string symbol_field_text(const qdb::MasterRecord& record);
// Column 0: the symbol cut before its first byte outside 0x21..0x7F, or the column 1 text
// when that leaves nothing.
std::string grid_symbol_text(const qdb::MasterRecord& record);
// Column 1: the 16-byte issue name up to its first zero byte, trailing blanks included.
std::string grid_name_text(const qdb::MasterRecord& record);

struct SymbolRow {
  std::string symbol;  // column 0 text
  std::string name;    // column 1 text
  int file_number = 0;
  int file_index = 0;          // 0-based position of the entry in the MASTER (or in the XMASTER)
  bool extended = false;       // the entry is listed by the XMASTER
  std::string long_name;       // the EMASTER's or XMASTER's name when longer than 16 characters
  bool sub_portfolio = false;  // a "<DIR>" entry: a sub-portfolio, which holds no quotes itself
  std::string sub_dir;         // its directory's name (sub_portfolio only)
};

// Why a "<DIR>" row shows no quotes, as a sentence without a final period: it is a
// sub-portfolio, and the MASTER of its directory (inside portfolio_dir) lists its symbols.
std::string sub_portfolio_cause(const std::string& portfolio_dir, const SymbolRow& row);

// The grid's ascending order of column 0 texts (byte-wise); stable for equal texts.
bool symbol_row_less(const SymbolRow& a, const SymbolRow& b);

struct MasterListing {
  bool ok = false;              // the MASTER opened and its header read
  int header_count = 0;         // the MASTER header's count, signed 16-bit
  std::vector<SymbolRow> rows;  // file order, at most limit entries, then the XMASTER's
  int extended_count = 0;       // rows at the end that come from the XMASTER
  // The rows read from the MASTER itself.
  int master_rows() const { return static_cast<int>(rows.size()) - extended_count; }
};

// Reads up to limit entries of the MASTER at master_path (file order; stops at end of file),
// followed by every entry of the XMASTER beside it, when there is one. listed, when given and
// of the MASTER's directory, is the listing its other index files are named through.
MasterListing read_master_rows(const std::string& master_path, int limit = qdb::kMaxSymbols,
                               const qdb::DirListing* listed = nullptr);
// The rows sorted in the grid's order.
std::vector<SymbolRow> sorted_rows(std::vector<SymbolRow> rows);

}  // namespace core
