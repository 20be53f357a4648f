// dorvane-cli edit-quote DIR KEY DATE [--time HH:MM[:SS]] [--all-matching] [--open X] ...: sets
// fields of one quote.
#include "cli/command.h"
#include "cli/quote_address.h"
#include "cli/quote_view.h"
#include "core/edit_quote.h"

namespace {

int run_edit_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

// The options, in the order of the entry's fields.
const std::vector<std::string> kFieldOptions = {"open", "high", "low", "close", "volume", "oi"};

std::vector<std::string> value_options() {
  std::vector<std::string> options = kFieldOptions;
  options.push_back("time");
  options.push_back("file-number");
  return options;
}

const cli::Command kCommand{
    "edit-quote",
    "edit-quote DIR KEY DATE [--time HH:MM[:SS]] [--all-matching] [--open X] [--high X] "
    "[--low X] [--close X] [--volume X] [--oi X] [--file-number N] [--encoding NAME]",
    "Set the given fields of every quote of KEY dated DATE (MM/DD/YY, or MM/DD/YYYY for any year "
    "from 1900 to 2099); fields not given keep "
    "their stored values. On a series with times, --time names the one bar; a date of several "
    "bars without it, or a time held by several records without --all-matching, is refused.",
    {3, value_options(), {"all-matching"}},
    run_edit_quote};
const cli::Registrar kRegistrar{kCommand};

int run_edit_quote(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  core::EditQuoteEntry entry;
  entry.date_text = parsed.positional[2];
  for (std::size_t i = 0; i < kFieldOptions.size(); ++i) {
    if (const std::string* value = parsed.value(kFieldOptions[i]))
      entry.fields[i] = {*value, false};
  }
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  const auto address = cli::quote_address(*view, entry.date_text, parsed.value("time"),
                                          parsed.has("all-matching"), "change", err);
  if (!address) return cli::kExitUsage;
  entry.address = *address;
  return cli::finish(core::edit_quote(*view, entry), err);
}

}  // namespace
