// Why the last file step of an operation failed, in words for the user: "F3.DAT: No space left
// on device", "F3.DAT was changed by another program". Kept per thread; the first cause noted
// since the last clear wins, so cleanup after a failure cannot hide the reason.
#pragma once

#include <string>
#include <string_view>

#include "qdb/error.h"

namespace qdb {

// Forgets any cause noted earlier (every operation starts with it).
void clear_failure();
// Notes text as the cause, unless a cause is noted already.
void note_failure(std::string text);
// Notes "<name>: <system's text for error>" with name the last component of path.
void note_error(std::string_view path, int error);
// The cause noted since the last clear (empty when none).
const std::string& failure_cause();
// message, then the noted cause on a line of its own when there is one.
std::string with_cause(std::string message);

}  // namespace qdb
