#include "core/delete_symbol.h"

#include "core/index_edit.h"
#include "core/portfolio_index.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "core/symbol_rows.h"
#include "qdb/desktop_trash.h"
#include "qdb/file_suffixes.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace core {
namespace {

constexpr const char* kNoTrashMessage = "The symbol's files can't be moved to the desktop trash.";

}  // namespace

std::optional<std::string> trash_refusal(const std::string& portfolio_dir) {
  const qdb::Result<std::string> home = qdb::home_trash_for(qdb::normalize_dir(portfolio_dir));
  if (home) return std::nullopt;
  return home.error().with_cause(kNoTrashMessage);
}

CommandResult delete_symbol(const std::string& portfolio_dir, const std::string& master_text,
                            const std::string& symbol_text, int row_file_number, bool to_trash) {
  // The trash is asked first, so a trash that can't take the files leaves the MASTER as it was.
  std::optional<std::string> trash;
  if (to_trash) {
    qdb::Result<std::string> home = qdb::home_trash_for(qdb::normalize_dir(portfolio_dir));
    if (!home) return CommandResult::failure(kNoTrashMessage, home.error());
    trash = std::move(home).value();
  }
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
  for (const LeftFile& left :
       remove_symbol_files(qdb::normalize_dir(portfolio_dir), file_number, trash)) {
    result.ok = false;
    result.messages.push_back(left_file_message(left));
  }
  return result;
}

}  // namespace core
