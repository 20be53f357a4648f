// The dorvane-cli(1) manual page, written in roff from the command table that --help prints,
// so the two never disagree. The build runs "dorvane-cli --man" to make the installed page.
#pragma once

#include <ostream>

namespace cli {

// Writes the whole page.
void write_man_page(std::ostream& out);

}  // namespace cli
