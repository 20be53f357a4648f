// dorvane-cli copy-symbol DIR SYMBOL DESTDIR: copys a symbol to another portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/transfer_symbol.h"

namespace {

int run_copy_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"copy-symbol",
                            "copy-symbol DIR SYMBOL DESTDIR",
                            "Copy the symbol shown as SYMBOL to the portfolio DESTDIR under its "
                            "lowest free file number, which is printed (F<n>).",
                            {3},
                            run_copy_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_copy_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const core::TransferResult result = core::transfer_symbol(
      parsed.positional[0], parsed.positional[1], parsed.positional[2], core::TransferMode::Copy);
  if (result.ok) out << "F" << result.new_file_number << "\n";
  return cli::finish(result, err);
}

}  // namespace
