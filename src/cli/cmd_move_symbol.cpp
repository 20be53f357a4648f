// dorvane-cli move-symbol DIR SYMBOL DESTDIR: moves a symbol to another portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/transfer_symbol.h"

namespace {

int run_move_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"move-symbol",
                            "move-symbol DIR SYMBOL DESTDIR [--file-number N] [--encoding NAME]",
                            "Move the symbol shown as SYMBOL to the portfolio DESTDIR under its "
                            "lowest free file number, which is printed (F<n>); the source loses "
                            "its record and files only once the destination holds them.",
                            {3, {"file-number", cli::kEncodingOption}},
                            run_move_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_move_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const cli::KeyEntry entry = cli::resolve_key(
      kCommand, parsed, dir, core::transfer_symbol_text(parsed.positional[1]), err);
  if (entry.exit_code) return *entry.exit_code;
  const core::TransferResult result = core::transfer_symbol(
      dir, parsed.positional[1], parsed.positional[2], core::TransferMode::Move, entry.file_number);
  // The destination holds the symbol even when a source file stayed behind.
  if (result.outcome == core::TransferOutcome::kAdded) out << "F" << result.new_file_number << "\n";
  return cli::finish(result, err);
}

}  // namespace
