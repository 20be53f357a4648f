// Split: expresses the history before a split date in post-split units.
#pragma once

#include <string>

#include "core/command_result.h"
#include "core/view_state.h"

namespace core {

struct SplitEntry {
  std::string date_text;   // the split date, MM/DD/YY
  std::string new_shares;  // "2"
  std::string old_shares;  // "1"
};

// Checks the entries against the series (the split date from the oldest to the newest quote's
// date, both share counts numbers other than 0), then scales every quote before the split
// date: prices by old/new, volume and open interest by new/old (32-bit float arithmetic).
// "Invalid Data Entered" or "Split Edit Failed". Settings on success: "Split" Date, New, Old.
CommandResult split_quotes(const ViewState& view, const SplitEntry& entry);

}  // namespace core
