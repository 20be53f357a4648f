// The entries of one portfolio that a symbol text names, and how a message names an entry.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/portfolio_index.h"
#include "qdb/master.h"

namespace qdb {
class DirListing;
}

namespace core {

// An entry as messages name it: "F3 CL (Crude Oil)" - file number, symbol and issue name, each
// without trailing blanks.
std::string entry_description(const qdb::MasterRecord& record);

// The symbol entries of dir's own MASTER and XMASTER (MASTER first, file order, in their MASTER
// form) that satisfy names. nullopt when the index files can't be read.
// listed, when given and of dir, is used instead of listing dir again.
std::optional<std::vector<qdb::MasterRecord>> entries_named(
    const std::string& dir, const std::function<bool(const qdb::MasterRecord&)>& names,
    const qdb::DirListing* listed = nullptr);

// Whether two symbol texts are the same symbol: letters compared without regard to case,
// trailing blanks and what follows a zero byte ignored.
bool same_symbol(const std::string& a, const std::string& b);

// The first symbol entry of index other than skip whose symbol is symbol (same_symbol).
std::optional<IndexEntry> other_entry_with_symbol(const PortfolioIndex& index,
                                                  const std::string& symbol, IndexEntry skip);

}  // namespace core
