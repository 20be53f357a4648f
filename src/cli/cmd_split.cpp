// dorvane-cli split DIR KEY DATE NEW OLD: a stock split applied to the quotes before DATE.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/split_quotes.h"

namespace {

int run_split(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "split",
    "split DIR KEY DATE NEW OLD [--file-number N] [--encoding NAME]",
    "Record a split of OLD shares into NEW on DATE (MM/DD/YY, or MM/DD/YYYY for any year from 1900 "
    "to 2099): every earlier quote gets its "
    "prices multiplied by OLD/NEW and its volume and open interest by NEW/OLD.",
    {5, {"file-number", cli::kEncodingOption}},
    run_split};
const cli::Registrar kRegistrar{kCommand};

int run_split(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  const core::SplitEntry entry{parsed.positional[2], parsed.positional[3], parsed.positional[4]};
  return cli::finish(core::split_quotes(*view, entry), err);
}

}  // namespace
