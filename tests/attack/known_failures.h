// The attack's cases that fail on today's code for a reason already known, each with that
// reason. A case listed here that fails is reported and passed over; one that passes is fine.
#pragma once

#include <string>

namespace attack {

// The reason a case is known to fail, or empty. test is the attack ("fail", "kill",
// "planted", "output"), command the command's name, detail what the attack did (the failed
// call, the planted name).
std::string known_failure(const std::string& test, const std::string& command,
                          const std::string& detail);

}  // namespace attack
