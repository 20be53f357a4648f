// Adjust: multiplies prices, volume and open interest over an inclusive date range.
#pragma once

#include <string>

#include "core/command_result.h"
#include "core/view_state.h"

namespace core {

struct AdjustEntry {
  std::string from_text;  // MM/DD/YY
  std::string to_text;    // MM/DD/YY
  std::string price = "1";
  std::string volume = "1";
  std::string open_interest = "1";
};

// Checks both dates against the series' first and last dates (no rule between them) and the
// three multipliers (numbers other than 0), then scales every quote dated from..to.
// "Invalid Data Entered" or "Adjust Edit Failed". Settings on success: "Adjust" Date1, Date2,
// PriceMult, VolMult, OIMult.
CommandResult adjust_quotes(const ViewState& view, const AdjustEntry& entry);

}  // namespace core
