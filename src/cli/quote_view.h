// What the quote commands of dorvane-cli share: the view state from a fresh read of a series,
// and the printing of a command's messages.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/command_result.h"
#include "core/view_state.h"

namespace qdb {
class DirListing;
}

namespace cli {

struct Command;
struct ParsedArgs;

// The option every command taking a KEY declares ("[--file-number N]" in its usage).
inline constexpr const char* kFileNumberOption = "file-number";

// How a command's KEY names an entry: as the lookup does (symbol or issue name, case-blind),
// or as the symbols grid shows it (column 0 text, exactly), or by its symbol field up to its
// first byte outside 0x21..0x7F (exactly).
enum class KeyMatch { kLookup, kGridText, kSymbolField };

// Which entry of DIR a KEY addresses. file_number is 0 when KEY is looked up by its text as
// always (it names at most one entry of DIR's own MASTER and XMASTER), else the entry's file
// number; exit_code is set (and the reason printed on err) when the command must stop.
struct KeyEntry {
  int file_number = 0;
  std::optional<int> exit_code;
};

// Resolves KEY in DIR for command: refuses (exit 2, listing file number, symbol and name of
// each) a KEY that names several entries of DIR's own MASTER and XMASTER unless --file-number
// picks one of them; a --file-number that is not a number (exit 2) or that names no entry KEY
// names (exit 1) is refused too.
// listing, when given and of DIR, is used instead of listing DIR again.
KeyEntry resolve_key(const Command& command, const ParsedArgs& parsed, const std::string& dir,
                     const std::string& key, std::ostream& err, KeyMatch match = KeyMatch::kLookup,
                     const qdb::DirListing* listing = nullptr);

// The state the app's view would hold for KEY in DIR: quote count, first and last date texts,
// MASTER path. Prints the reason on err and answers nullopt when the series can't be read. A
// non-zero file_number addresses that entry of DIR's own index files (resolve_key).
std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err, int file_number = 0);

// resolve_key, then read_view_state; exit_code holds the exit code when either stops.
struct KeyView {
  std::optional<core::ViewState> view;
  int exit_code = 0;
};
KeyView read_key_view(const Command& command, const ParsedArgs& parsed, std::ostream& err);

// Prints why KEY in DIR can't be read: the system's message first, then the cause in words
// ("F7.DAT is missing"), or the status text when no cause is found.
void print_read_failure(const std::string& message, const std::string& dir, const std::string& key,
                        int status, std::ostream& err, int file_number = 0);

// Prints the result's messages on err, one after the other, and answers the exit code.
int finish(const core::CommandResult& result, std::ostream& err);

}  // namespace cli
