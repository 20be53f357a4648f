// Add quote: fills a missing weekday before a quote with a copy of that quote.
#pragma once

#include <cstdint>
#include <string>

#include "core/command_result.h"
#include "core/view_state.h"
#include "qdb/dates.h"

namespace core {

struct AddQuoteResult : CommandResult {
  std::string new_date_text;  // MM/DD/YY of the inserted quote (also when it already exists)
  // Position in the file of the inserted quote (0 the oldest), -1 when none was inserted. It
  // takes the place of the first quote of the following date, so on an intraday series it is
  // a copy of that date's first bar.
  std::int32_t new_record = -1;
};

// Inserts, before the quote dated date_text (the current row), a copy dated the previous
// weekday. Refuses when that date is already in the series ("Date %s already exists."), when
// date_text is the oldest quote or falls on a weekend, and when it is no date. "Add Quote
// Failed" when the rewrite fails (the library inserts exactly one copy, or none and fails).
// Settings on success: "Add" Date (the new date text).
AddQuoteResult add_quote(const ViewState& view, const std::string& date_text);

}  // namespace core
