// Delete quote: removes one day from a symbol's data file.
#pragma once

#include <string>

#include "core/command_result.h"
#include "core/quote_address.h"
#include "core/view_state.h"

namespace core {

// Removes the first quote dated date_text (MM/DD/YY); the library brings the MASTER first or
// last date in step when it was the oldest or newest. When no quote has the date the library's
// own "failure in delete quote for findrec" comes first among the messages.
// "Invalid Data Entered" for a text that is no date, "Delete Edit Failed" when the rewrite
// fails. Settings on success: "Delete" Date.
// On an intraday series address narrows the deletion to one bar: the record at its position
// (refused, with the cause "The file changed: ...", when that record no longer has the date
// and time named), or the first record at its time; all_matching deletes every record that
// matches the date (and time).
CommandResult delete_quote(const ViewState& view, const std::string& date_text,
                           const QuoteAddress& address = {});

}  // namespace core
