// Why a symbol's quotes can't be read, in words a user understands.
#pragma once

#include <string>
#include <string_view>

namespace qdb {

class DirListing;
struct MasterRecord;

// The cause that keeps the quotes of key (found from root) from reading whole, as a sentence
// without a final period ("F7.DAT is missing", "F7.DAT has 36-byte records and there is no
// F7.DOP to say what they hold", "F7.DAT is shorter than its header says (412 of 980
// quotes)", "TECH is a sub-portfolio, not a symbol: its symbols are listed in ..."); empty
// when the series reads whole. A non-zero file_number addresses the entry of root's own index
// files with that number (see find_symbol).
std::string series_problem(std::string_view root, std::string_view key, int file_number = 0);

// The cause for the "<DIR>" entry naming subdir inside the portfolio dir, shown as name: it
// is a sub-portfolio, and its directory's MASTER lists its symbols.
std::string sub_portfolio_problem(std::string_view dir, std::string_view name,
                                  std::string_view subdir);

// "<name> is not a regular file" for the first of key's files (its MASTER, its layout file,
// its data file) that is a directory, FIFO or device; empty when none is.
std::string not_regular_file_cause(std::string_view root, std::string_view key,
                                   int file_number = 0);

// The same for an entry of the portfolio listed by listing: its layout file, then its data
// file.
std::string not_regular_entry_cause(const DirListing& listing, const MasterRecord& record);

// Why a read of key's quotes failed: not_regular_file_cause when it names a file, else
// series_problem(root, key).
std::string read_failure_cause(std::string_view root, std::string_view key, int file_number = 0);

}  // namespace qdb
