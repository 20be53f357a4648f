// Edit symbol: a new symbol and issue name for one MASTER record.
#pragma once

#include <string>

#include "core/command_result.h"

namespace core {

// Rewrites the MASTER at master_path with the first record whose symbols-grid text equals
// old_text given the new symbol and name (16 bytes each, blank-padded; every other byte and
// record unchanged). Makes the MASTER.BAK copy first. When no record shows old_text, or any
// step fails, the MASTER is left as it was and the result says why.
CommandResult RewriteMasterNames(const std::string& master_path, const std::string& old_text,
                                 const std::string& new_symbol, const std::string& new_name);

// The Edit Symbol command's OK: refuses an empty symbol ("You must enter a symbol") and texts
// longer than the 16-byte fields, then RewriteMasterNames.
CommandResult rename_symbol(const std::string& master_path, const std::string& old_text,
                            const std::string& new_symbol, const std::string& new_name);

}  // namespace core
