#include "core/add_quote.h"

#include <algorithm>
#include <cstdio>

#include "core/entry_check.h"
#include "core/entry_values.h"
#include "core/quote_texts.h"
#include "core/series_dates.h"
#include "qdb/dates.h"
#include "qdb/rewrite.h"

namespace core {
namespace {

constexpr const char* kAddFailed = "Add Quote Failed";

AddQuoteResult add_failure(std::string message, int status = 0) {
  AddQuoteResult result;
  result.messages.push_back(std::move(message));
  result.status = status;
  return result;
}

}  // namespace

AddQuoteResult add_quote(const ViewState& view, const std::string& date_text) {
  const qdb::DateSerial date = entry_date(date_text);
  EntryCheck check;
  check.date("Date", date_text, date);
  if (!check.ok()) {
    AddQuoteResult refused;
    static_cast<CommandResult&>(refused) = check.refusal();
    return refused;
  }
  // The copy goes before the quote of this date, which must be the one the insert finds: a
  // weekend date would have the copy placed before the following Monday instead.
  if (qdb::is_weekend(date)) return add_failure(kAddFailed);
  // The file's form is not known before the rewrite, which refuses a date before 1960 in a
  // two-digit file itself.
  const qdb::DateSerial new_date = qdb::previous_weekday(date, qdb::DateForm::kLong);
  if (new_date == 0) return add_failure(kAddFailed);
  const std::string new_date_text = display_date_text(new_date);

  const auto dates = read_series_dates(view.portfolio_dir, view.symbol, view.file_number);
  if (!dates || dates->empty()) return add_failure(kAddFailed);
  // The oldest quote has nothing before it to fill; the app offers no Add there.
  if (date <= dates->front()) {
    return add_failure("A quote can't be added before the oldest quote (" +
                       display_date_text(dates->front()) + ").");
  }
  if (std::find(dates->begin(), dates->end(), new_date) != dates->end()) {
    char message[64];
    std::snprintf(message, sizeof message, "Date %s already exists.", new_date_text.c_str());
    AddQuoteResult result = add_failure(message);
    result.new_date_text = new_date_text;
    return result;
  }

  // The day that follows the new date is the quote's own date (a weekday).
  qdb::SeriesEditRequest request;
  request.first_date = date;
  request.last_date = date;
  request.op = qdb::kOpInsert;
  const qdb::Result<void> done = rewrite_view_series(view, request);
  if (!done) return add_failure(done.error().with_cause(kAddFailed), done.status());

  AddQuoteResult result;
  result.ok = true;
  result.new_date_text = new_date_text;
  result.new_record =
      static_cast<std::int32_t>(std::find(dates->begin(), dates->end(), date) - dates->begin());
  result.settings = {{"Add", "Date", new_date_text}};
  return result;
}

}  // namespace core
