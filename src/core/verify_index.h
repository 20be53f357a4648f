// Verify's look at a data file against the index entries that describe it: its reading (once,
// whole), its length and header count, the field counts and the first and last dates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/verify.h"
#include "core/verify_series.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"

namespace core {

// One symbol's data file read whole.
struct SymbolFile {
  bool readable = false;
  std::string failure;  // why it is not (readable false)
  std::string name;     // the data file's name as listed ("F1.DAT", "f300.mwd")
  std::optional<qdb::FileIdentity> identity;  // set by the mend alone: verify stats no file
  qdb::SeriesLayout layout;
  std::int32_t header_records = 0;  // the header's count, the header record included
  std::uint64_t size = 0;           // bytes
  SeriesRecords records;            // the whole records after the header
  // The header's count agrees with the records held, and no piece of a record trails them:
  // the file can be written back with every record it holds.
  bool whole() const;
};

// Reads the data file of entry (dates native, from a PortfolioLookup of listing) into bytes,
// which the answer's records point into.
SymbolFile read_symbol_file(const qdb::DirListing& listing, const qdb::MasterRecord& entry,
                            std::vector<std::uint8_t>& bytes);

// Which index file holds a date that disagrees with the quotes.
enum class IndexFileName { kMaster, kEmaster, kXmaster };

// A first or last date of an index entry and the date the quotes give it.
struct IndexDateFix {
  IndexFileName file = IndexFileName::kMaster;
  bool last = false;
  qdb::DateSerial stored = 0;  // 0: none
  qdb::DateSerial wanted = 0;
};

// The EMASTER and XMASTER of a portfolio, read once for its whole verify.
class IndexFiles {
 public:
  explicit IndexFiles(const qdb::DirListing& listing);
  // An EMASTER or XMASTER whose header counts more entries than it holds.
  std::vector<Finding> count_findings() const;
  // The entry's own fields against each other and against its data file.
  std::vector<Finding> entry_findings(const qdb::MasterRecord& entry, const SymbolFile& file) const;
  // The first and last dates of the entry in every index file that holds it, against the oldest
  // and newest of the mended quotes; nothing for a file without quotes or one that is not
  // whole (SymbolFile::whole).
  std::vector<IndexDateFix> date_fixes(const qdb::MasterRecord& entry, const SymbolFile& file,
                                       const MendedOrder& mended) const;
  std::vector<Finding> date_findings(const qdb::MasterRecord& entry, const SymbolFile& file,
                                     const MendedOrder& mended) const;

 private:
  std::optional<qdb::RawIndexFile> m_emaster;
  std::optional<qdb::RawIndexFile> m_xmaster;
  std::unordered_map<int, std::size_t> m_emaster_by_number;  // first entry of each number
};

std::string_view index_file_text(IndexFileName file);

}  // namespace core
