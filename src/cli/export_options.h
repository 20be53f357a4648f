// The export choices that the export and export-all commands share, parsed in one place.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/export.h"

namespace cli {

// The export choices' options: those taking a value and the flags, followed by extra ones.
std::vector<std::string> export_value_options(std::vector<std::string> extra = {});
std::vector<std::string> export_flag_options(std::vector<std::string> extra = {});

// Reads --delimiter, --omit (a comma list, repeatable), --date-format, --time, --title and
// --newest-first into options. A word it does not know prints the command's usage with the
// reason on err and answers kExitUsage; nullopt when every choice read.
std::optional<int> read_export_options(const Command& command, const ParsedArgs& parsed,
                                       core::ExportOptions& options, std::ostream& err);

}  // namespace cli
