#include "gui/edit/quotes_grid_loader.h"

#include "core/quote_windows.h"
#include "gui/edit/quotes_grid_model.h"
#include "qdb/series_problem.h"

QuoteLoadResult load_quotes(CQuotesGridModel& model, const std::string& directory,
                            const std::string& key,
                            const std::function<void(int loaded, int total)>& progress,
                            int file_number) {
  using State = core::NewestFirstQuotes::State;
  QuoteLoadResult result;
  core::NewestFirstQuotes quotes;
  if (!quotes.open(directory, key, file_number) && quotes.state() == State::kOpenFailed) {
    result.cause = qdb::read_failure_cause(directory, key, file_number);
    return result;
  }
  result.has_time = quotes.has_time();
  model.setHasTime(result.has_time);
  const int total = static_cast<int>(quotes.total());
  result.total = total;
  model.reserve(total);
  if (quotes.state() == State::kNoMemory) {
    result.status = QuoteLoadResult::Status::kNoMemory;
    return result;
  }

  // No row that was not read is ever shown: a short window ends the load with its rows.
  while (quotes.next()) {
    model.appendNewestFirst(quotes.window(), quotes.rows(), quotes.window_start());
    if (progress) progress(static_cast<int>(quotes.delivered()), total);
  }
  result.loaded = static_cast<int>(quotes.delivered());
  switch (quotes.state()) {
    case State::kReadFailed:
      result.status = QuoteLoadResult::Status::kChunkFailed;
      break;
    case State::kShortRead:
      result.status = QuoteLoadResult::Status::kShortChunk;
      break;
    default:
      result.status = QuoteLoadResult::Status::kOk;
      break;
  }
  if (result.status != QuoteLoadResult::Status::kOk)
    result.cause = qdb::read_failure_cause(directory, key, file_number);

  if (total > 0) {
    result.first_date = quotes.quote_date(0);
    result.last_date = quotes.quote_date(-1);
  }
  return result;
}
