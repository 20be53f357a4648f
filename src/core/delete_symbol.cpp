#include "core/delete_symbol.h"

#include "core/index_edit.h"
#include "core/portfolio_index.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "core/symbol_rows.h"
#include "qdb/file_suffixes.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace core {

CommandResult delete_symbol(const std::string& portfolio_dir, const std::string& master_text,
                            const std::string& symbol_text, int row_file_number) {
  IndexEdit edit(master_text, {qdb::normalize_dir(portfolio_dir)});
  const qdb::Result<IndexEntry> found = edit.find(symbol_field_text, symbol_text, row_file_number);
  if (!found) return CommandResult::failure(found.error().cause);
  const int file_number = entry_record(edit.index(), edit.entry()).file_number();
  remove_entry(edit.index(), edit.entry());
  CommandResult result = edit.write(qdb::suffix::kNewIndex, false);
  // A record gone but not confirmed on disk still takes its files with it: they would be
  // orphans otherwise.
  if (!result.ok && result.status != qdb::kNotConfirmed) return result;

  if (index_uses_number(edit.index(), file_number)) {
    result.messages.push_back("The files of F" + std::to_string(file_number) +
                              " were kept: another symbol of the portfolio uses them.");
    return result;
  }
  for (const LeftFile& left : remove_symbol_files(qdb::normalize_dir(portfolio_dir), file_number)) {
    result.ok = false;
    result.messages.push_back(left_file_message(left));
  }
  return result;
}

}  // namespace core
