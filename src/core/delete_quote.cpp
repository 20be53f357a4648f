#include "core/delete_quote.h"

#include "core/entry_check.h"
#include "core/entry_values.h"
#include "qdb/rewrite.h"

namespace core {

CommandResult delete_quote(const ViewState& view, const std::string& date_text,
                           const QuoteAddress& address) {
  const qdb::DateSerial date = entry_date(date_text);
  EntryCheck check;
  check.date("Date", date_text, date);
  if (!check.ok()) return check.refusal();

  qdb::SeriesEditRequest request;
  request.first_date = date;
  request.last_date = date;
  request.op = qdb::kOpDelete;
  address_request(address, request);
  const qdb::Result<void> done = rewrite_view_series(view, request);
  if (!done && done.status() == qdb::kDeleteNotFound) {
    // The library's own message about a date it can't find comes before the command's.
    CommandResult result = CommandResult::failure(done.error().cause, done.status());
    result.messages.push_back("Delete Edit Failed");
    return result;
  }
  if (!done) return CommandResult::failure("Delete Edit Failed", done.error());

  return CommandResult::success({{"Delete", "Date", date_text}});
}

}  // namespace core
