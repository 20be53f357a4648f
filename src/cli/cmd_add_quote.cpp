// dorvane-cli add-quote DIR KEY DATE: fills the missing weekday before the quote of DATE.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/add_quote.h"

namespace {

int run_add_quote(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"add-quote", "add-quote DIR KEY DATE",
                            "Insert before the quote dated DATE (MM/DD/YY, or MM/DD/YYYY for any "
                            "year from 1900 to 2099) a copy of it dated the previous weekday, "
                            "and print that date.",
                            run_add_quote};
const cli::Registrar kRegistrar{kCommand};

int run_add_quote(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 3) return cli::usage_error(kCommand, err);
  const auto view = cli::read_view_state(parsed.positional[0], parsed.positional[1], err);
  if (!view) return cli::kExitFailure;
  const core::AddQuoteResult result = core::add_quote(*view, parsed.positional[2]);
  if (result.ok) out << result.new_date_text << "\n";
  return cli::finish(result, err);
}

}  // namespace
