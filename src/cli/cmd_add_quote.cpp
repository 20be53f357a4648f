// dorvane-cli add-quote DIR KEY DATE: fills the missing weekday before the quote of DATE.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/add_quote.h"

namespace {

int run_add_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"add-quote",
                            "add-quote DIR KEY DATE [--file-number N] [--encoding NAME]",
                            "Insert before the quote dated DATE (MM/DD/YY, or MM/DD/YYYY for any "
                            "year from 1900 to 2099) a copy of it dated the previous weekday, "
                            "and print that date.",
                            {3, {"file-number", cli::kEncodingOption}},
                            run_add_quote};
const cli::Registrar kRegistrar{kCommand};

int run_add_quote(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  const core::AddQuoteResult result = core::add_quote(*view, parsed.positional[2]);
  if (result.ok) out << result.new_date_text << "\n";
  return cli::finish(result, err);
}

}  // namespace
