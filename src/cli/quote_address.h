// The quote that edit-quote and delete-quote name by DATE, --time and --all-matching.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/quote_address.h"
#include "core/view_state.h"

namespace cli {

// The address of the quote of the view's series dated date_text at time_text (null: no
// --time). On a series with times, DATE alone must name one time, and DATE with --time must
// name one record unless all_matching; a time given for a series without times, or not of the
// form HH:MM[:SS], is refused as well. A refusal prints why on err and answers nullopt (the
// command then exits with kExitUsage). verb ("change", "delete") words the refusal.
std::optional<core::QuoteAddress> quote_address(const core::ViewState& view,
                                                const std::string& date_text,
                                                const std::string* time_text, bool all_matching,
                                                const char* verb, std::ostream& err);

}  // namespace cli
