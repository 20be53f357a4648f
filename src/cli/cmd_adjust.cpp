// dorvane-cli adjust DIR KEY FROM TO [--price P] [--volume V] [--oi I]: scales a date range.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/adjust_quotes.h"

namespace {

int run_adjust(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "adjust", "adjust DIR KEY FROM TO [--price P] [--volume V] [--oi I]",
    "Multiply the prices by P, the volume by V and the open interest by I (each 1 when not "
    "given) of every quote dated FROM to TO (MM/DD/YY or MM/DD/YYYY, both included).",
    run_adjust};
const cli::Registrar kRegistrar{kCommand};

int run_adjust(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {"price", "volume", "oi"});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 4) return cli::usage_error(kCommand, err);

  core::AdjustEntry entry;
  entry.from_text = parsed.positional[2];
  entry.to_text = parsed.positional[3];
  if (const std::string* price = parsed.value("price")) entry.price = *price;
  if (const std::string* volume = parsed.value("volume")) entry.volume = *volume;
  if (const std::string* oi = parsed.value("oi")) entry.open_interest = *oi;
  const auto view = cli::read_view_state(parsed.positional[0], parsed.positional[1], err);
  if (!view) return cli::kExitFailure;
  return cli::finish(core::adjust_quotes(*view, entry), err);
}

}  // namespace
