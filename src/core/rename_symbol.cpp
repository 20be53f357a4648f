#include "core/rename_symbol.h"

#include "core/index_edit.h"
#include "core/platform_fs.h"
#include "core/portfolio_index.h"
#include "core/symbol_entries.h"
#include "core/symbol_rows.h"
#include "qdb/file_suffixes.h"
#include "qdb/portfolio_files.h"

namespace core {

CommandResult RewriteMasterNames(const std::string& master_text, const std::string& old_text,
                                 const std::string& new_symbol, const std::string& new_name,
                                 int file_number) {
  // The grid is sorted, so the row says nothing about the record's place: find the entry by
  // the text the row shows (and the file number it was read from). Exactly one entry changes,
  // in every index file that holds it.
  IndexEdit edit(master_text);
  const qdb::Result<IndexEntry> found = edit.find(grid_symbol_text, old_text, file_number);
  if (!found) return CommandResult::failure(found.error().cause);
  // Two entries with one symbol can't be told apart by a lookup: a new symbol must be free.
  const qdb::MasterRecord own = entry_record(edit.index(), edit.entry());
  if (!same_symbol(own.symbol_field(), new_symbol)) {
    if (const auto other = other_entry_with_symbol(edit.index(), new_symbol, edit.entry())) {
      // The portfolio as the portfolio list names it: without a trailing separator.
      std::string dir = qdb::split_path(edit.master_path()).first;
      while (dir.size() > 1 && platform::is_separator(dir.back())) dir.pop_back();
      return CommandResult::failure(
          symbol_exists_message(new_symbol, dir, entry_record(edit.index(), *other)));
    }
  }
  if (edit.entry().extended &&
      new_symbol.size() >= static_cast<std::size_t>(qdb::xmaster_offset::kSymbolWidth)) {
    return CommandResult::failure("The symbol of an XMASTER entry holds at most " +
                                  std::to_string(qdb::xmaster_offset::kSymbolWidth - 1) +
                                  " characters.");
  }
  rename_entry(edit.index(), edit.entry(), new_symbol, new_name);
  return edit.write(qdb::suffix::kNew, true);
}

CommandResult rename_symbol(const std::string& master_path, const std::string& old_text,
                            const std::string& new_symbol, const std::string& new_name,
                            int file_number) {
  if (new_symbol.empty()) return CommandResult::failure("You must enter a symbol");
  const auto width = static_cast<std::size_t>(qdb::master_offset::kTextWidth);
  if (new_symbol.size() > width || new_name.size() > width)
    return CommandResult::failure("The symbol and the name hold at most 16 characters each.");
  return RewriteMasterNames(master_path, old_text, new_symbol, new_name, file_number);
}

std::string symbol_exists_message(const std::string& symbol, const std::string& dir,
                                  const qdb::MasterRecord& other) {
  return "Symbol " + symbol + " already exists in\n" + dir + "\nas " + entry_description(other) +
         ".\nChoose a different symbol.";
}

}  // namespace core
