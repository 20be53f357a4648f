// dorvane-cli delete-symbol DIR SYMBOL: removes a symbol's record and files from a portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/delete_symbol.h"
#include "qdb/master_file.h"

namespace {

int run_delete_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "delete-symbol",
    "delete-symbol DIR SYMBOL [--file-number N] [--encoding NAME]",
    "Delete the symbol shown as SYMBOL in the symbols grid: its MASTER record and its F<n>.DAT, "
    "F<n>.DOP and F<n>.BAK files. Asks no question.",
    {2, {"file-number", cli::kEncodingOption}},
    run_delete_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_delete_symbol(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const std::string& symbol = parsed.positional[1];
  const cli::KeyEntry entry =
      cli::resolve_key(kCommand, parsed, dir, symbol, err, cli::KeyMatch::kSymbolField);
  if (entry.exit_code) return *entry.exit_code;
  return cli::finish(core::delete_symbol(dir, qdb::master_path_in(dir), symbol, entry.file_number),
                     err);
}

}  // namespace
