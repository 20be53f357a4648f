// The lookup inside one portfolio's own index files, read once: what find_symbol finds there
// with a file number, and the sub-portfolio a "<DIR>" entry names. A loop over many symbols
// finds each entry here instead of reading the index files again per symbol.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace qdb {

// The MASTER's entries in file order up to a short read, dates native, "<DIR>" entries apart;
// then the XMASTER's, read when a lookup first misses the MASTER's. One lookup is used by one
// thread at a time.
class PortfolioLookup {
 public:
  explicit PortfolioLookup(const DirListing& listing);
  // False when the MASTER does not open or its header does not read.
  bool ok() const { return m_ok; }
  // The first entry with file_number (not 0) whose text matches key, MASTER before XMASTER:
  // the one find_symbol with that file number finds in the same files. nullptr when none.
  const MasterRecord* find(std::string_view key, int file_number) const;
  // The first "<DIR>" entry of the MASTER that key names by its symbol, its issue name or its
  // directory's name.
  std::optional<MasterRecord> find_directory(std::string_view key) const;
  // Every entry in that order, MASTER then XMASTER.
  std::vector<MasterRecord> all() const;

 private:
  using Positions = std::vector<std::pair<int, std::size_t>>;  // (file number, position), sorted
  static Positions positions_of(const std::vector<MasterRecord>& entries);
  static const MasterRecord* find_in(const std::vector<MasterRecord>& entries,
                                     const Positions& by_number, std::string_view key,
                                     int file_number);
  void read_extended() const;

  bool m_ok = false;
  std::vector<MasterRecord> m_entries;
  Positions m_by_number;
  std::vector<MasterRecord> m_directories;
  std::string m_xmaster_path;  // empty when the portfolio has no XMASTER
  mutable bool m_extended_read = false;
  mutable std::vector<MasterRecord> m_extended;
  mutable Positions m_extended_by_number;
};

}  // namespace qdb
