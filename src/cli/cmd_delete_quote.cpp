// dorvane-cli delete-quote DIR KEY DATE: removes one day's quote.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/delete_quote.h"
#include "qdb/notifier.h"

namespace {

int run_delete_quote(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"delete-quote", "delete-quote DIR KEY DATE",
                            "Delete the quote of KEY dated DATE (MM/DD/YY or MM/DD/YYYY; the first "
                            "one when the date appears twice), "
                            "keeping the MASTER's first and last dates in step.",
                            run_delete_quote};
const cli::Registrar kRegistrar{kCommand};

int run_delete_quote(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 3) return cli::usage_error(kCommand, err);
  const auto view = cli::read_view_state(parsed.positional[0], parsed.positional[1], err);
  if (!view) return cli::kExitFailure;

  // The library's own message about a date it can't find comes before the command's.
  qdb::Notifier previous =
      qdb::set_notifier([&err](const std::string& message) { err << message << "\n"; });
  const core::CommandResult result = core::delete_quote(*view, parsed.positional[2]);
  qdb::set_notifier(std::move(previous));
  return cli::finish(result, err);
}

}  // namespace
