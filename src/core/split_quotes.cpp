#include "core/split_quotes.h"

#include "core/entry_check.h"
#include "core/entry_values.h"
#include "qdb/rewrite.h"

namespace core {

CommandResult split_quotes(const ViewState& view, const SplitEntry& entry) {
  // Every check runs, then one verdict, as the dialog does.
  EntryCheck check;
  const qdb::DateSerial split = entry_date(entry.date_text);
  check.date_in_range("Split Date", entry.date_text, split, view.first_date, view.last_date);
  const std::optional<float> new_shares = scan_number(entry.new_shares);
  check.nonzero_number("New Shares", entry.new_shares, new_shares);
  const std::optional<float> old_shares = scan_number(entry.old_shares);
  check.nonzero_number("Old Shares", entry.old_shares, old_shares);
  if (!check.ok()) return check.refusal();

  const float price_factor = *old_shares / *new_shares;
  const float quantity_factor = *new_shares / *old_shares;
  qdb::SeriesEditRequest request;
  for (int price = qdb::kValueOpen; price <= qdb::kValueClose; ++price)
    request.values[price] = price_factor;
  request.values[qdb::kValueVolume] = quantity_factor;
  request.values[qdb::kValueOpenInterest] = quantity_factor;
  request.first_date = 0;
  request.last_date = static_cast<qdb::DateSerial>(split - 1);
  request.op = qdb::kOpScale;
  const qdb::Result<void> done = rewrite_view_series(view, request);
  if (!done) return CommandResult::failure("Split Edit Failed", done.error());

  return CommandResult::success({{"Split", "Date", entry.date_text},
                                 {"Split", "New", entry.new_shares},
                                 {"Split", "Old", entry.old_shares}});
}

}  // namespace core
