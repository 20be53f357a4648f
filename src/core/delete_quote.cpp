#include "core/delete_quote.h"

#include "core/entry_values.h"
#include "qdb/failure.h"
#include "qdb/rewrite.h"

namespace core {

CommandResult delete_quote(const ViewState& view, const std::string& date_text,
                           const QuoteAddress& address) {
  const qdb::DateSerial date = entry_date(date_text);
  if (date == 0) return CommandResult::failure(kInvalidDataEntered);

  qdb::SeriesEditRequest request;
  request.first_date = date;
  request.last_date = date;
  request.op = qdb::kOpDelete;
  address_request(address, request);
  const std::int32_t status = rewrite_view_series(view, request);
  if (status != qdb::kSuccess)
    return CommandResult::failure(qdb::with_cause("Delete Edit Failed"), status);

  return CommandResult::success({{"Delete", "Date", date_text}});
}

}  // namespace core
