// The view's state from a fresh read of a series.
#include "core/view_state.h"

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/master_file.h"
#include "qdb/series.h"

namespace core {

qdb::StatusCode read_view_state(const std::string& dir, const std::string& key, ViewState& view,
                                int file_number) {
  qdb::SeriesReader reader;
  qdb::StatusCode status = reader.open(dir, key, file_number);
  view = ViewState{};
  view.portfolio_dir = dir;
  view.symbol = key;
  view.master_path = qdb::master_path_in(dir);
  view.file_number = file_number;
  if (status == qdb::kSuccess) {
    view.quote_count = static_cast<int>(reader.total());
    if (view.quote_count > 0) {
      qdb::QuoteSeries series;
      status = qdb::series_alloc(series, 1);
      if (status == qdb::kSuccess) status = reader.read(series, key, 0, 1);
      if (status == qdb::kSuccess && series.count == 1) view.first_date = series.date(0);
      if (status == qdb::kSuccess) status = reader.read(series, key, -1, 1);
      if (status == qdb::kSuccess && series.count == 1) view.last_date = series.date(0);
    }
  }
  return status;
}

}  // namespace core
