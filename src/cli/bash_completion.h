// The bash completion script for dorvane-cli, written from the command table: command names,
// each command's options, and directories or files where its usage names DIR or FILE. The
// build runs "dorvane-cli --bash-completion" to make the installed script.
#pragma once

#include <ostream>

namespace cli {

// Writes the whole script.
void write_bash_completion(std::ostream& out);

}  // namespace cli
