// dorvane-cli edit-quote DIR KEY DATE [--open X] ...: sets fields of one day's quote.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/edit_quote.h"

namespace {

int run_edit_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

// The options, in the order of the entry's fields.
const std::vector<std::string> kOptions = {"open", "high", "low", "close", "volume", "oi"};

const cli::Command kCommand{
    "edit-quote",
    "edit-quote DIR KEY DATE [--open X] [--high X] [--low X] [--close X] [--volume X] [--oi X]"
    " [--file-number N]",
    "Set the given fields of every quote of KEY dated DATE (MM/DD/YY, or MM/DD/YYYY for any year "
    "from 1900 to 2099); fields not given keep "
    "their stored values.",
    {3, {"open", "high", "low", "close", "volume", "oi", "file-number"}},
    run_edit_quote};
const cli::Registrar kRegistrar{kCommand};

int run_edit_quote(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  core::EditQuoteEntry entry;
  entry.date_text = parsed.positional[2];
  for (std::size_t i = 0; i < kOptions.size(); ++i) {
    if (const std::string* value = parsed.value(kOptions[i])) entry.fields[i] = {*value, false};
  }
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  return cli::finish(core::edit_quote(*view, entry), err);
}

}  // namespace
