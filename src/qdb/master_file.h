// Where a portfolio's MASTER file is. Its name matches without regard to case, as every name
// inside a portfolio does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace qdb {

// The name a new MASTER is given.
inline constexpr std::string_view kMasterName = "MASTER";

// Whether a directory entry's name is a MASTER's ("MASTER", "master", ...).
bool is_master_name(std::string_view name);
// Whether the listed directory holds a MASTER.
bool has_master(const DirListing& listing);
// The path of the MASTER in the listed directory: the existing entry whatever its case, else
// the directory followed by "MASTER".
std::string master_path(const DirListing& listing);
// The same for a directory text, which gets a separator appended unless it is empty or ends in
// one.
std::string master_path_in(std::string_view dir);

// The symbol entries of the listed directory's own index files, read once, as a lookup by file
// number sees them (find_symbol): the MASTER's in file order up to a short read ("<DIR>"
// entries left out), then the XMASTER's; dates native. A loop over many symbols finds each
// entry here instead of reading the index files again per symbol.
class OwnEntries {
 public:
  explicit OwnEntries(const DirListing& listing);
  // False when the MASTER does not open or its header does not read.
  bool ok() const { return m_ok; }
  // The first entry with file_number (not 0) whose text matches key: the one find_symbol with
  // that file number finds in the same files. nullptr when none.
  const MasterRecord* find(std::string_view key, int file_number) const;
  // Every entry in that order.
  const std::vector<MasterRecord>& all() const { return m_entries; }

 private:
  bool m_ok = false;
  std::vector<MasterRecord> m_entries;
  std::vector<std::pair<int, std::size_t>> m_by_number;  // (file number, position), sorted
};

}  // namespace qdb
