#include "core/adjust_quotes.h"

#include "core/entry_check.h"
#include "core/entry_values.h"
#include "qdb/rewrite.h"

namespace core {
CommandResult adjust_quotes(const ViewState& view, const AdjustEntry& entry) {
  EntryCheck check;
  const qdb::DateSerial from = entry_date(entry.from_text);
  const qdb::DateSerial to = entry_date(entry.to_text);
  check.date_in_range("From", entry.from_text, from, view.first_date, view.last_date);
  check.date_in_range("To", entry.to_text, to, view.first_date, view.last_date);
  // The causes follow the fields' order: price, volume, open interest.
  const std::optional<float> price = scan_number(entry.price);
  const std::optional<float> volume = scan_number(entry.volume);
  const std::optional<float> open_interest = scan_number(entry.open_interest);
  check.nonzero_number("Price", entry.price, price);
  check.nonzero_number("Volume", entry.volume, volume);
  check.nonzero_number("Open Interest", entry.open_interest, open_interest);
  if (!check.ok()) return check.refusal();

  qdb::SeriesEditRequest request;
  for (int field = qdb::kValueOpen; field <= qdb::kValueClose; ++field)
    request.values[field] = *price;
  request.values[qdb::kValueVolume] = *volume;
  request.values[qdb::kValueOpenInterest] = *open_interest;
  request.first_date = from;
  request.last_date = to;
  request.op = qdb::kOpScale;
  const qdb::Result<void> done = rewrite_view_series(view, request);
  if (!done) return CommandResult::failure("Adjust Edit Failed", done.error());

  return CommandResult::success({{"Adjust", "Date1", entry.from_text},
                                 {"Adjust", "Date2", entry.to_text},
                                 {"Adjust", "PriceMult", entry.price},
                                 {"Adjust", "VolMult", entry.volume},
                                 {"Adjust", "OIMult", entry.open_interest}});
}

}  // namespace core
