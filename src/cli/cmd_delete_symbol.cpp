// dorvane-cli delete-symbol DIR SYMBOL: removes a symbol's record and files from a portfolio.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/delete_symbol.h"
#include "qdb/master_file.h"

namespace {

int run_delete_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "delete-symbol",
    "delete-symbol DIR SYMBOL [--file-number N] [--no-trash] [--encoding NAME]",
    "Delete the symbol shown as SYMBOL in the symbols grid: its MASTER record, and move its "
    "F<n>.DAT, F<n>.DOP and F<n>.BAK files to the desktop trash (--no-trash: delete them). "
    "Asks no question.",
    {2, {"file-number", cli::kEncodingOption}, {"no-trash"}},
    run_delete_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_delete_symbol(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const std::string& symbol = parsed.positional[1];
  const cli::KeyEntry entry =
      cli::resolve_key(kCommand, parsed, dir, symbol, err, cli::KeyMatch::kSymbolField);
  if (entry.exit_code) return *entry.exit_code;
  const bool to_trash = !parsed.has("no-trash");
  // A trash on another file system refuses before anything changes.
  if (to_trash) {
    if (const std::optional<std::string> refusal = core::trash_refusal(dir)) {
      err << "dorvane-cli delete-symbol: " << *refusal
          << "\nGive --no-trash to delete the files instead.\n";
      return 1;
    }
  }
  return cli::finish(
      core::delete_symbol(dir, qdb::master_path_in(dir), symbol, entry.file_number, to_trash), err);
}

}  // namespace
