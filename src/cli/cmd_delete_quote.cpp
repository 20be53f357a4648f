// dorvane-cli delete-quote DIR KEY DATE: removes one day's quote.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/delete_quote.h"
#include "qdb/notifier.h"

namespace {

int run_delete_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"delete-quote",
                            "delete-quote DIR KEY DATE [--file-number N]",
                            "Delete the quote of KEY dated DATE (MM/DD/YY or MM/DD/YYYY; the first "
                            "one when the date appears twice), "
                            "keeping the MASTER's first and last dates in step.",
                            {3, {"file-number"}},
                            run_delete_quote};
const cli::Registrar kRegistrar{kCommand};

int run_delete_quote(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;

  // The library's own message about a date it can't find comes before the command's.
  qdb::Notifier previous =
      qdb::set_notifier([&err](const std::string& message) { err << message << "\n"; });
  const core::CommandResult result = core::delete_quote(*view, parsed.positional[2]);
  qdb::set_notifier(std::move(previous));
  return cli::finish(result, err);
}

}  // namespace
