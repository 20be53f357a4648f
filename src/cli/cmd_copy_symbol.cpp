// dorvane-cli copy-symbol DIR SYMBOL DESTDIR: copys a symbol to another portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/transfer_symbol.h"

namespace {

int run_copy_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"copy-symbol",
                            "copy-symbol DIR SYMBOL DESTDIR [--file-number N] [--encoding NAME]",
                            "Copy the symbol shown as SYMBOL to the portfolio DESTDIR under its "
                            "lowest free file number, which is printed (F<n>).",
                            {3, {"file-number", cli::kEncodingOption}},
                            run_copy_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_copy_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const cli::KeyEntry entry = cli::resolve_key(
      kCommand, parsed, dir, core::transfer_symbol_text(parsed.positional[1]), err);
  if (entry.exit_code) return *entry.exit_code;
  const core::TransferResult result = core::transfer_symbol(
      dir, parsed.positional[1], parsed.positional[2], core::TransferMode::Copy, entry.file_number);
  if (result.ok) out << "F" << result.new_file_number << "\n";
  return cli::finish(result, err);
}

}  // namespace
