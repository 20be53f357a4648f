#include "cli/quote_view.h"

#include "cli/command.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/failure.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace cli {

std::string master_path_of(const std::string& dir) { return qdb::master_path_in(dir); }

std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err) {
  core::ViewState view;
  const qdb::StatusCode status = core::read_view_state(dir, key, view);
  if (status != qdb::kSuccess) {
    err << qdb::with_cause("Error in FillQuotesGrid\n(" + key + ": " + qdb::status_text(status) +
                           ")")
        << "\n";
    return std::nullopt;
  }
  return view;
}

int finish(const core::CommandResult& result, std::ostream& err) {
  for (const std::string& message : result.messages) err << message << "\n";
  return result.ok ? kExitOk : kExitFailure;
}

}  // namespace cli
