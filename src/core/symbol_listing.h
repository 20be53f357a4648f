// The symbols listing the app's grid and the symbols command show, with its one set of rules:
// the MASTER's entries in file order, as many as its header counts but at most 255 (with a
// warning when it counts more), then every entry of the XMASTER beside it; a MASTER that can't
// be read, or that holds fewer entries than its header counts, is a failure.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/symbol_rows.h"

namespace qdb {
class DirListing;
}

namespace core {

// The message of a listing that failed.
inline constexpr const char* kSymbolsGridFailure = "Failure while filling symbols grid";

enum class SymbolListingFailure {
  kNone,
  kUnreadable,   // the MASTER is missing or shorter than its 53-byte header
  kShortMaster,  // the MASTER holds fewer entries than its header counts
};

struct SymbolListingOutcome {
  SymbolListingFailure failure = SymbolListingFailure::kNone;
  int header_count = 0;   // N, the header's first word, as a signed 16-bit value
  int shown_count = 0;    // the MASTER entries to list: N within 0..255
  int master_rows = 0;    // MASTER rows listed
  int extended_rows = 0;  // XMASTER rows listed
  bool ok() const { return failure == SymbolListingFailure::kNone; }
  // "File has N symbols.\nWill only display the first 255 symbols" when N is above 255, else
  // empty.
  std::string warning() const;
};

// Where a listing goes, as it is read: the warning (before any row), then each row.
struct SymbolListingSink {
  std::function<void(const std::string& warning)> warning;
  std::function<void(const SymbolRow& row)> row;  // the row is reused for the next one
};

// Lists the MASTER at master_path and the XMASTER beside it into sink, one row at a time, so
// memory stays flat whatever the XMASTER holds. files, when given and of the MASTER's
// directory, names the other index files. long_names: fill SymbolRow::long_name (from the
// EMASTER for MASTER rows); the command line shows none and skips that reading.
SymbolListingOutcome list_symbols(const std::string& master_path, const SymbolListingSink& sink,
                                  const qdb::DirListing* files = nullptr, bool long_names = true);

// The listing's rows in memory (MASTER rows first), for a grid.
struct SymbolListing {
  SymbolListingOutcome outcome;
  std::vector<SymbolRow> rows;
};
SymbolListing read_symbol_listing(const std::string& master_path,
                                  const std::function<void(const std::string&)>& warning);

}  // namespace core
