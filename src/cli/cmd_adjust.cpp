// dorvane-cli adjust DIR KEY FROM TO [--price P] [--volume V] [--oi I]: scales a date range.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/adjust_quotes.h"

namespace {

int run_adjust(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "adjust",
    "adjust DIR KEY FROM TO [--price P] [--volume V] [--oi I] [--file-number N] [--encoding NAME]",
    "Multiply the prices by P, the volume by V and the open interest by I (each 1 when not "
    "given) of every quote dated FROM to TO (MM/DD/YY or MM/DD/YYYY, both included).",
    {4, {"price", "volume", "oi", "file-number", cli::kEncodingOption}},
    run_adjust};
const cli::Registrar kRegistrar{kCommand};

int run_adjust(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  core::AdjustEntry entry;
  entry.from_text = parsed.positional[2];
  entry.to_text = parsed.positional[3];
  if (const std::string* price = parsed.value("price")) entry.price = *price;
  if (const std::string* volume = parsed.value("volume")) entry.volume = *volume;
  if (const std::string* oi = parsed.value("oi")) entry.open_interest = *oi;
  const cli::KeyView keyed = cli::read_key_view(kCommand, parsed, err);
  if (!keyed.view) return keyed.exit_code;
  const std::optional<core::ViewState>& view = keyed.view;
  return cli::finish(core::adjust_quotes(*view, entry), err);
}

}  // namespace
