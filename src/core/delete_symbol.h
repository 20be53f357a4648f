// Delete symbol: removes one record from a MASTER and its data, layout and backup files.
#pragma once

#include <optional>
#include <string>

#include "core/command_result.h"

namespace core {

// Drops the first record of the MASTER at master_path whose symbol field, cut before its first
// byte outside 0x21..0x7F, equals symbol_text exactly, lowers both header counters and
// replaces the MASTER in one step (through MASTER.~NU); then deletes F<n>.DAT, F<n>.DOP and
// F<n>.BAK of that record in portfolio_dir, unless another record still uses file number n.
// No matching record, or a MASTER that can't be read or replaced: nothing changes, and the
// result says so. A file that exists but can't be deleted afterwards makes the result a
// failure (ok false) whose messages name each file left behind; the MASTER no longer lists
// the symbol then. The portfolio is locked for the whole command.
// A non-zero row_file_number takes only the record with that file number (the one the row was read
// from, even when another shows the same text).
// With to_trash the files go to the user's desktop trash instead of being deleted; when the
// trash can't take them (trash_refusal), nothing changes and the result says so.
CommandResult delete_symbol(const std::string& portfolio_dir, const std::string& master_path,
                            const std::string& symbol_text, int row_file_number = 0,
                            bool to_trash = false);

// Why the desktop trash can't take the files of portfolio_dir (it is on another file system,
// or there is none), as the message to show; nullopt when it can.
std::optional<std::string> trash_refusal(const std::string& portfolio_dir);

}  // namespace core
