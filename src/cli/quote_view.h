// What the quote commands of dorvane-cli share: the view state from a fresh read of a series,
// and the printing of a command's messages.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/command_result.h"
#include "core/view_state.h"

namespace cli {

// The state the app's view would hold for KEY in DIR: quote count, first and last date texts,
// MASTER path. Prints the reason on err and answers nullopt when the series can't be read.
std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err);

// The MASTER of a portfolio directory, its name matched without regard to case.
std::string master_path_of(const std::string& dir);

// Prints why KEY in DIR can't be read: the system's message first, then the cause in words
// ("F7.DAT is missing"), or the status text when no cause is found.
void print_read_failure(const std::string& message, const std::string& dir, const std::string& key,
                        int status, std::ostream& err);

// Prints the result's messages on err, one after the other, and answers the exit code.
int finish(const core::CommandResult& result, std::ostream& err);

}  // namespace cli
