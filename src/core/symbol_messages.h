// Messages of the symbol commands for failures the user must hear about.
#pragma once

#include <string>

#include "qdb/error.h"

namespace core {

// Each ends with the cause of error, when it has one.
std::string master_unreadable_message(const std::string& master_path, const qdb::Error& error);
std::string master_unwritable_message(const std::string& master_path, const qdb::Error& error);
// For a failed write of a portfolio's index files: the MASTER's message when only the MASTER
// was written; else one naming the directory, and the files that could not be restored when
// restore_failed lists any.
std::string index_unwritable_message(const std::string& master_path, bool several,
                                     const std::string& restore_failed, const qdb::Error& error);
std::string symbol_not_found_message(const std::string& symbol, const std::string& where);

}  // namespace core
