// A portfolio's index files together: the MASTER, and the EMASTER and XMASTER beside it when it
// has them. The symbol commands change them in memory and write them back as one step, so the
// three always agree: an EMASTER entry follows the MASTER entry of the same file number, and
// the XMASTER lists the symbols beyond the MASTER's 255.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/master_image.h"
#include "qdb/extended_master.h"
#include "qdb/master.h"

namespace qdb {
class DirListing;
class PortfolioTransaction;
}  // namespace qdb

namespace core {

struct PortfolioIndex {
  std::string dir;  // ends in a separator
  std::string master_path;
  MasterImage master;
  std::string master_original;  // the MASTER's bytes as read
  bool master_changed = false;
  std::string emaster_path;  // empty when the portfolio has no EMASTER
  std::optional<qdb::RawIndexFile> emaster;
  std::string emaster_original;
  bool emaster_changed = false;
  std::string xmaster_path;  // where the XMASTER is (or would be created)
  std::optional<qdb::RawIndexFile> xmaster;
  std::string xmaster_original;  // empty when there was no XMASTER
  bool xmaster_changed = false;
  // Whether write_portfolio_index may replace files whose header counts disagree with their
  // length: only the repair, which sets the counts right, does.
  bool mends_counts = false;
};

// Where an entry stands: in the MASTER's records, or in the XMASTER's.
struct IndexEntry {
  bool extended = false;
  std::size_t index = 0;
};

// Reads the MASTER at master_path and the EMASTER and XMASTER beside it (names matched
// without regard to case). The Error when the MASTER, or an EMASTER or XMASTER that exists,
// cannot be read. listed, when given and of the MASTER's directory, is the
// listing those files are named through.
// With rebuild_damaged (the repair's read), an EMASTER or XMASTER that reads but is no index
// file (shorter than its header record; an XMASTER without its "XM" mark) is taken as one to
// rebuild: an empty EMASTER, or the XMASTER's records under a sound header (an empty one when it
// holds no header), marked changed and holding the damaged bytes as read, to put back.
qdb::Result<PortfolioIndex> read_portfolio_index(const std::string& master_path,
                                                 const qdb::DirListing* listed = nullptr,
                                                 bool rebuild_damaged = false);

// The XMASTER entries the header counts (never more than the file holds).
std::size_t xmaster_count(const PortfolioIndex& index);
// The entry in its MASTER form (stored MBF dates; extended_number set for an XMASTER entry).
qdb::MasterRecord entry_record(const PortfolioIndex& index, IndexEntry entry);
// The long name of an entry (the EMASTER's or XMASTER's); empty when none is held.
std::string entry_long_name(const PortfolioIndex& index, IndexEntry entry);
// The first entry, MASTER before XMASTER, whose MASTER form satisfies match.
template <typename Match>
std::optional<IndexEntry> find_entry(const PortfolioIndex& index, Match match) {
  for (std::size_t i = 0; i < index.master.records.size(); ++i)
    if (match(index.master.records[i])) return IndexEntry{false, i};
  for (std::size_t i = 0; i < xmaster_count(index); ++i)
    if (match(entry_record(index, IndexEntry{true, i}))) return IndexEntry{true, i};
  return std::nullopt;
}
// True when an entry of the index uses file_number.
bool index_uses_number(const PortfolioIndex& index, int file_number);

// Gives the entry a new symbol and issue name, in every index file that holds it.
void rename_entry(PortfolioIndex& index, IndexEntry entry, std::string_view symbol,
                  std::string_view name);
// Takes the entry out of every index file that holds it and lowers the counts.
void remove_entry(PortfolioIndex& index, IndexEntry entry);

// A symbol to add to another portfolio: its MASTER form as stored (file number aside), its
// long name, and its raw EMASTER or XMASTER entry when its portfolio holds one.
struct EntryToAdd {
  qdb::MasterRecord record;
  std::string long_name;
  std::string emaster_entry;
  std::string xmaster_entry;
};
// The entry as the portfolio holds it.
EntryToAdd entry_to_add(const PortfolioIndex& index, IndexEntry entry);
// The number the entry would take: the lowest free one in the MASTER while it has fewer than
// 255 entries, else the lowest free one from 256 in the XMASTER. A number is free when no entry
// uses it and its quote and layout files don't exist. 0 when none is free.
int free_file_number(const PortfolioIndex& index, const qdb::DirListing& listing);
// Adds the entry under number (from free_file_number) to the MASTER (and EMASTER) or to the
// XMASTER, created when absent, raising the counts.
void add_entry(PortfolioIndex& index, const EntryToAdd& entry, int number);

// Writes back every index file marked changed, as one qdb::PortfolioTransaction. Each one is
// first copied to its backup (<name> plus ".BAK") when backup is true, and always when more than
// the MASTER changes. Then all are written complete beside their targets (under temp_suffix, one
// of qdb/file_suffixes.h), and only then put in place, XMASTER, EMASTER, MASTER. If one fails to
// take its place, those already replaced get their old bytes back (held in memory since they
// were read under the portfolio lock), and a created XMASTER is removed, so a failure leaves all
// as they were; the failing step's Error otherwise. When even that restore fails, restore_failed
// names the files left changed. A file whose header counts disagree with its length (entries
// beyond the count would be lost, or a count would name entries not there) is never rewritten
// unless mends_counts: the Error then says so and points to the check and repair. With joined (a
// transaction of index.dir holding the caller's own steps, such as backups of its own), the files
// are staged into it and it is committed.
qdb::Result<void> write_portfolio_index(PortfolioIndex& index, std::string_view temp_suffix,
                                        bool backup, std::string* restore_failed = nullptr,
                                        qdb::PortfolioTransaction* joined = nullptr);

}  // namespace core
