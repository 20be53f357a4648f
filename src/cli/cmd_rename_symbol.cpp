// dorvane-cli rename-symbol DIR SYMBOL NEWSYMBOL [--name NAME]: a record's symbol and name.
#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/master_image.h"
#include "core/rename_symbol.h"
#include "core/symbol_rows.h"
#include "qdb/master_file.h"
#include "qdb/text.h"

namespace {

int run_rename_symbol(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "rename-symbol",
    "rename-symbol DIR SYMBOL NEWSYMBOL [--name NAME]",
    "Give the record shown as SYMBOL in the symbols grid the symbol NEWSYMBOL and the issue "
    "name NAME (by default its present name); the old MASTER is kept as MASTER.BAK.",
    {3, {"name"}},
    run_rename_symbol};
const cli::Registrar kRegistrar{kCommand};

int run_rename_symbol(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  const std::string master_path = qdb::master_path_in(parsed.positional[0]);
  const std::string& old_text = parsed.positional[1];

  std::string name;
  if (const std::string* given = parsed.value("name")) {
    name = *given;
  } else if (const auto image = core::read_master_image(master_path)) {
    // The dialog starts with the row's name without its trailing blanks.
    for (const qdb::MasterRecord& record : image->records) {
      if (core::grid_symbol_text(record) != old_text) continue;
      name = core::grid_name_text(record);
      qdb::trim_right(name);
      break;
    }
  }
  return cli::finish(core::rename_symbol(master_path, old_text, parsed.positional[2], name), err);
}

}  // namespace
