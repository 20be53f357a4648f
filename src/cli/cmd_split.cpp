// dorvane-cli split DIR KEY DATE NEW OLD: a stock split applied to the quotes before DATE.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/split_quotes.h"

namespace {

int run_split(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "split", "split DIR KEY DATE NEW OLD",
    "Record a split of OLD shares into NEW on DATE (MM/DD/YY, or MM/DD/YYYY for any year from 1900 "
    "to 2099): every earlier quote gets its "
    "prices multiplied by OLD/NEW and its volume and open interest by NEW/OLD.",
    run_split};
const cli::Registrar kRegistrar{kCommand};

int run_split(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 5) return cli::usage_error(kCommand, err);
  const auto view = cli::read_view_state(parsed.positional[0], parsed.positional[1], err);
  if (!view) return cli::kExitFailure;
  const core::SplitEntry entry{parsed.positional[2], parsed.positional[3], parsed.positional[4]};
  return cli::finish(core::split_quotes(*view, entry), err);
}

}  // namespace
