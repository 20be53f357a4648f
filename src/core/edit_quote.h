// Edit quote: sets one day's open, high, low, close, volume and open interest.
#pragma once

#include <array>
#include <string>

#include "core/command_result.h"
#include "core/quote_address.h"
#include "core/view_state.h"

namespace core {

// One number field of the Edit dialog. A field marked keep was not changed by the user (or not
// given on the command line): its stored value stays exactly as it is, whatever the text.
struct EditField {
  std::string text;
  bool keep = true;
};

struct EditQuoteEntry {
  std::string date_text;  // MM/DD/YY of the quote shown
  // open, high, low, close, volume, open interest
  std::array<EditField, 6> fields;
  // On an intraday series, the bar meant (by its time or its record); by default every quote
  // dated date_text.
  QuoteAddress address;
};

// Rewrites every quote dated date_text (only those the address picks) with the fields that are
// not kept. Fails with "Invalid Data Entered" for a date or changed number that doesn't
// convert, and with "Single Date Edit Failed" when the rewrite fails, no quote has that date
// (and time), or the addressed record is no longer the one named.
// Settings on success: section "Edit", values Date, Open, Hi, Lo, Close, Vol, OI.
CommandResult edit_quote(const ViewState& view, const EditQuoteEntry& entry);

}  // namespace core
