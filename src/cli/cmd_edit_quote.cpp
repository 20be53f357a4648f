// dorvane-cli edit-quote DIR KEY DATE [--open X] ...: sets fields of one day's quote.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/edit_quote.h"

namespace {

int run_edit_quote(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "edit-quote",
    "edit-quote DIR KEY DATE [--open X] [--high X] [--low X] [--close X] [--volume X] [--oi X]",
    "Set the given fields of every quote of KEY dated DATE (MM/DD/YY, or MM/DD/YYYY for any year "
    "from 1900 to 2099); fields not given keep "
    "their stored values.",
    run_edit_quote};
const cli::Registrar kRegistrar{kCommand};

int run_edit_quote(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  static const std::vector<std::string> kOptions = {"open", "high", "low", "close", "volume", "oi"};
  const cli::ParsedArgs parsed = cli::parse_args(args, kOptions);
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 3) return cli::usage_error(kCommand, err);

  core::EditQuoteEntry entry;
  entry.date_text = parsed.positional[2];
  for (std::size_t i = 0; i < kOptions.size(); ++i) {
    if (const std::string* value = parsed.value(kOptions[i])) entry.fields[i] = {*value, false};
  }
  const auto view = cli::read_view_state(parsed.positional[0], parsed.positional[1], err);
  if (!view) return cli::kExitFailure;
  return cli::finish(core::edit_quote(*view, entry), err);
}

}  // namespace
