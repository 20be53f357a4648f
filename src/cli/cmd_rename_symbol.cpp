// dorvane-cli rename-symbol DIR SYMBOL NEWSYMBOL [--name NAME]: a record's symbol and name.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/rename_symbol.h"
#include "core/symbol_entries.h"
#include "core/symbol_rows.h"
#include "qdb/master_file.h"
#include "qdb/text.h"

namespace {

int run_rename_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "rename-symbol",
    "rename-symbol DIR SYMBOL NEWSYMBOL [--name NAME] [--file-number N] [--encoding NAME]",
    "Give the record shown as SYMBOL in the symbols grid the symbol NEWSYMBOL and the issue "
    "name NAME (by default its present name); the old MASTER is kept as MASTER.BAK. "
    "NEWSYMBOL and NAME are written in the code page of the portfolio's names (--encoding, by "
    "default auto); the bytes of a name not given are kept as they are.",
    {3, {"name", "file-number", cli::kEncodingOption}},
    run_rename_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_rename_symbol(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const std::string master_path = qdb::master_path_in(parsed.positional[0]);
  const std::string& old_text = parsed.positional[1];
  const cli::KeyEntry entry = cli::resolve_key(kCommand, parsed, parsed.positional[0], old_text,
                                               err, cli::KeyMatch::kGridText);
  if (entry.exit_code) return *entry.exit_code;

  const std::optional<std::string> new_symbol =
      cli::stored_name(kCommand, parsed, parsed.positional[2], err);
  if (!new_symbol) return cli::kExitFailure;
  std::string name;
  if (const std::string* given = parsed.value("name")) {
    std::optional<std::string> bytes = cli::stored_name(kCommand, parsed, *given, err);
    if (!bytes) return cli::kExitFailure;
    name = std::move(*bytes);
  } else if (const auto named =
                 core::entries_named(parsed.positional[0], [&](const qdb::MasterRecord& record) {
                   return core::grid_symbol_text(record) == old_text &&
                          (entry.file_number == 0 || record.file_number() == entry.file_number);
                 })) {
    // The dialog starts with the row's name without its trailing blanks.
    for (const qdb::MasterRecord& record : *named) {
      name = core::grid_name_text(record);
      qdb::trim_right(name);
      break;
    }
  }
  return cli::finish(
      core::rename_symbol(master_path, old_text, *new_symbol, name, entry.file_number), err);
}

}  // namespace
