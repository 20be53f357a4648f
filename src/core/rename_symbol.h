// Edit symbol: a new symbol and issue name for one MASTER record.
#pragma once

#include <string>

#include "core/command_result.h"
#include "qdb/master.h"

namespace core {

// Rewrites the MASTER at master_path with the first record whose symbols-grid text equals
// old_text (and whose file number is file_number, when that is not 0) given the new symbol and
// name (16 bytes each, blank-padded; every other byte and record unchanged). Makes the
// MASTER.BAK copy first. Refuses, naming the other entry, a new symbol that another entry of
// the MASTER or XMASTER already has, unless it is the entry's own symbol (so the name of an
// entry that already shares its symbol can still change). When no record shows old_text, or
// any step fails, the MASTER is left as it was and the result says why.
CommandResult RewriteMasterNames(const std::string& master_path, const std::string& old_text,
                                 const std::string& new_symbol, const std::string& new_name,
                                 int file_number = 0);

// The Edit Symbol command's OK: refuses an empty symbol ("You must enter a symbol") and texts
// longer than the 16-byte fields, then RewriteMasterNames.
CommandResult rename_symbol(const std::string& master_path, const std::string& old_text,
                            const std::string& new_symbol, const std::string& new_name,
                            int file_number = 0);

// The refusal of a symbol that another entry already has, naming that entry: "Symbol CL
// already exists in", the portfolio directory, "as F3 CL (Crude Oil).", "Choose a different
// symbol.", one per line.
std::string symbol_exists_message(const std::string& symbol, const std::string& dir,
                                  const qdb::MasterRecord& other);

}  // namespace core
