#include "cli/quote_view.h"

#include "cli/command.h"
#include "core/quote_texts.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/failure.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"
#include "qdb/series.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace cli {

std::string master_path_of(const std::string& dir) {
  return qdb::DirListing(qdb::normalize_dir(dir)).resolve("MASTER");
}

std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err) {
  qdb::clear_failure();
  qdb::SeriesReader reader;
  qdb::StatusCode status = reader.open(dir, key);
  core::ViewState view;
  view.portfolio_dir = dir;
  view.symbol = key;
  view.master_path = master_path_of(dir);
  if (status == qdb::kSuccess) {
    view.quote_count = static_cast<int>(reader.total());
    if (view.quote_count > 0) {
      qdb::QuoteSeries series;
      status = qdb::series_alloc(series, 1);
      if (status == qdb::kSuccess) status = reader.read(series, key, 0, 1);
      if (status == qdb::kSuccess && series.count == 1)
        view.first_date_text = core::display_date_text(series.date(0));
      if (status == qdb::kSuccess) status = reader.read(series, key, -1, 1);
      if (status == qdb::kSuccess && series.count == 1)
        view.last_date_text = core::display_date_text(series.date(0));
    }
  }
  if (status != qdb::kSuccess) {
    print_read_failure("Error in FillQuotesGrid", dir, key, status, err);
    return std::nullopt;
  }
  return view;
}

void print_read_failure(const std::string& message, const std::string& dir, const std::string& key,
                        int status, std::ostream& err) {
  const std::string cause = qdb::read_failure_cause(dir, key);
  err << message << "\n";
  if (cause.empty()) {
    err << "(" << key << ": " << qdb::status_text(status) << ")\n";
  } else {
    err << key << ": " << cause << "\n";
  }
}

int finish(const core::CommandResult& result, std::ostream& err) {
  for (const std::string& message : result.messages) err << message << "\n";
  return result.ok ? kExitOk : kExitFailure;
}

}  // namespace cli
