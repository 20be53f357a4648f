#include "core/edit_quote.h"

#include <algorithm>

#include "core/entry_check.h"
#include "core/entry_values.h"
#include "core/quote_texts.h"
#include "core/series_dates.h"
#include "qdb/dates.h"
#include "qdb/rewrite.h"

namespace core {
namespace {
constexpr const char* kEditFailed = "Single Date Edit Failed";
constexpr const char* kValueNames[qdb::kRequestValueCount] = {"Open",  "Hi",  "Lo",
                                                              "Close", "Vol", "OI"};
// The fields as the dialog labels them.
constexpr const char* kFieldLabels[qdb::kRequestValueCount] = {"Open",  "High",   "Low",
                                                               "Close", "Volume", "Open Interest"};
}  // namespace

CommandResult edit_quote(const ViewState& view, const EditQuoteEntry& entry) {
  EntryCheck check;
  const qdb::DateSerial date = entry_date(entry.date_text);
  check.date("Date", entry.date_text, date);

  qdb::SeriesEditRequest request;  // every value starts as a keep mark
  bool changes_something = false;
  for (std::size_t i = 0; i < entry.fields.size(); ++i) {
    if (entry.fields[i].keep) continue;
    const std::optional<float> value = scan_number(entry.fields[i].text);
    check.number(kFieldLabels[i], entry.fields[i].text, value);
    if (!value) continue;
    request.values[i] = *value;  // the entry lists the fields in the request's order
    changes_something = true;
  }
  if (!check.ok()) return check.refusal();

  // A date (and time) with no quote would rewrite nothing; say so instead of claiming an
  // edit. A record addressed by its position is checked by the rewrite itself.
  const QuoteAddress& address = entry.address;
  if (address.record < 0 && address.seconds < 0) {
    const auto dates = read_series_dates(view.portfolio_dir, view.symbol, view.file_number);
    if (!dates || std::find(dates->begin(), dates->end(), date) == dates->end())
      return CommandResult::failure(kEditFailed);
  } else if (address.record < 0) {
    const auto stamps = read_series_stamps(view.portfolio_dir, view.symbol, view.file_number);
    bool found = false;
    for (std::size_t i = 0; stamps && i < stamps->dates.size() && !found; ++i)
      found = stamps->dates[i] == date && stamps->seconds[i] == address.seconds;
    if (!found) {
      return CommandResult::failure(std::string(kEditFailed) + "\nNo quote of " + view.symbol +
                                    " is dated " + display_date_text(date) + " at " +
                                    qdb::format_seconds_string(address.seconds) + ".");
    }
  }

  // Nothing changed: the data file and its backup stay as they are.
  if (changes_something) {
    request.first_date = date;
    request.last_date = date;
    request.op = qdb::kOpSet;
    address_request(address, request);
    const qdb::Result<void> done = rewrite_view_series(view, request);
    if (!done) return CommandResult::failure(kEditFailed, done.error());
  }

  CommandResult result;
  result.ok = true;
  result.settings.push_back({"Edit", "Date", entry.date_text});
  for (std::size_t i = 0; i < entry.fields.size(); ++i)
    result.settings.push_back({"Edit", kValueNames[i], entry.fields[i].text});
  return result;
}

}  // namespace core
