#include "cli/quote_view.h"

#include "cli/command.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace cli {

std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err) {
  core::ViewState view;
  const qdb::StatusCode status = core::read_view_state(dir, key, view);
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
