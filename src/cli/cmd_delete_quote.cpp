// dorvane-cli delete-quote DIR KEY DATE [--time HH:MM[:SS]] [--all-matching]: removes one quote.
#include "cli/command.h"
#include "cli/quote_address.h"
#include "cli/quote_view.h"
#include "core/delete_quote.h"

namespace {

int run_delete_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"delete-quote",
                            "delete-quote DIR KEY DATE [--time HH:MM[:SS]] [--all-matching] "
                            "[--file-number N] [--encoding NAME]",
                            "Delete the quote of KEY dated DATE (MM/DD/YY or MM/DD/YYYY; the first "
                            "one when the date appears twice, every one with --all-matching), "
                            "keeping the MASTER's first and last dates in step. On a series with "
                            "times, --time names the one bar; a date of several bars without it, "
                            "or a time held by several records without --all-matching, is refused.",
                            {3, {"time", "file-number", cli::kEncodingOption}, {"all-matching"}},
                            run_delete_quote};
const cli::Registrar kRegistrar{kCommand};

int run_delete_quote(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  const std::string& date_text = parsed.positional[2];
  const auto address = cli::quote_address(*view, date_text, parsed.value("time"),
                                          parsed.has("all-matching"), "delete", err);
  if (!address) return cli::kExitUsage;

  return cli::finish(core::delete_quote(*view, date_text, *address), err);
}

}  // namespace
