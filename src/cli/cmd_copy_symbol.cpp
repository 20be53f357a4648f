// dorvane-cli copy-symbol DIR SYMBOL DESTDIR: copys a symbol to another portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/transfer_symbol.h"

namespace {

int run_copy_symbol(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{"copy-symbol", "copy-symbol DIR SYMBOL DESTDIR",
                            "Copy the symbol shown as SYMBOL to the portfolio DESTDIR under its "
                            "lowest free file number, which is printed (F<n>).",
                            run_copy_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_copy_symbol(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 3) return cli::usage_error(kCommand, err);
  const core::TransferResult result = core::transfer_symbol(
      parsed.positional[0], parsed.positional[1], parsed.positional[2], false);
  if (result.ok) out << "F" << result.new_file_number << "\n";
  return cli::finish(result, err);
}

}  // namespace
