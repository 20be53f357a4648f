#include "core/adjust_quotes.h"

#include "core/entry_values.h"
#include "qdb/rewrite.h"

namespace core {
namespace {

bool usable_multiplier(const std::optional<float>& value) { return value && *value != 0.0f; }

}  // namespace

CommandResult adjust_quotes(const ViewState& view, const AdjustEntry& entry) {
  bool valid = true;
  const qdb::DateSerial from = entry_date(entry.from_text);
  const qdb::DateSerial to = entry_date(entry.to_text);
  const qdb::DateSerial first = view.first_date;
  const qdb::DateSerial last = view.last_date;
  if (from == 0 || to == 0) valid = false;
  if (from < first || to < first) valid = false;
  if (from > last || to > last) valid = false;
  // Checked in the dialog's order: price, open interest, volume.
  const std::optional<float> price = scan_number(entry.price);
  const std::optional<float> open_interest = scan_number(entry.open_interest);
  const std::optional<float> volume = scan_number(entry.volume);
  if (!usable_multiplier(price) || !usable_multiplier(open_interest) || !usable_multiplier(volume))
    valid = false;
  if (!valid) return CommandResult::failure(kInvalidDataEntered);

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
