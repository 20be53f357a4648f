// The one message the library shows goes out through a callback the caller installs.
#pragma once

#include <functional>
#include <string>

namespace qdb {

using Notifier = std::function<void(const std::string& message)>;

// Installs the notifier (an empty one: messages go nowhere, the default). Returns the old one.
Notifier set_notifier(Notifier notifier);
// Sends a message to the installed notifier.
void notify(const std::string& message);

}  // namespace qdb
