#include "gui/edit/quotes_grid_loader.h"

#include <algorithm>

#include "gui/edit/quotes_grid_model.h"
#include "qdb/dat.h"
#include "qdb/series.h"
#include "qdb/series_problem.h"

namespace {

// Date of the one quote a read of a single quote delivered, or 0.
qdb::DateSerial single_date(qdb::SeriesReader& reader, qdb::QuoteSeries& work,
                            const std::string& key, std::int32_t start) {
  if (reader.read(work, key, start, 1) != qdb::kSuccess || work.count < 1) return 0;
  return work.date(0);
}

}  // namespace

QuoteLoadResult load_quotes(CQuotesGridModel& model, const std::string& directory,
                            const std::string& key,
                            const std::function<void(int loaded, int total)>& progress) {
  QuoteLoadResult result;
  qdb::SeriesReader reader;
  if (reader.open(directory, key) != qdb::kSuccess) {
    result.cause = qdb::series_problem(directory, key);
    return result;
  }
  result.has_time = reader.has_time();
  model.setHasTime(result.has_time);
  const int total = static_cast<int>(std::max<std::int32_t>(reader.total(), 0));
  result.total = total;
  model.reserve(total);

  qdb::QuoteSeries work;
  if (qdb::series_alloc(work, kQuoteWindow) != qdb::kSuccess) {
    result.status = QuoteLoadResult::Status::kNoMemory;
    return result;
  }

  result.status = QuoteLoadResult::Status::kOk;
  int loaded = 0;
  while (loaded < total) {
    const int wanted = std::min(kQuoteWindow, total - loaded);
    if (reader.read(work, key, total - loaded - wanted, wanted) != qdb::kSuccess) {
      result.status = QuoteLoadResult::Status::kChunkFailed;
      break;
    }
    // A window never yields more rows than asked, and a short one (the file ends before its
    // header says) ends the load: no row that was not read is ever shown.
    const int got = std::clamp(static_cast<int>(work.count), 0, wanted);
    model.appendNewestFirst(work, got);
    loaded += got;
    if (progress) progress(loaded, total);
    if (got < wanted) {
      result.status = QuoteLoadResult::Status::kShortChunk;
      break;
    }
  }
  result.loaded = loaded;
  if (result.status != QuoteLoadResult::Status::kOk)
    result.cause = qdb::series_problem(directory, key);

  if (total > 0) {
    result.first_date = single_date(reader, work, key, 0);
    result.last_date = single_date(reader, work, key, -1);
  }
  qdb::series_free(work);
  return result;
}
