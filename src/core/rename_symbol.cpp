#include "core/rename_symbol.h"

#include "core/index_edit.h"
#include "core/portfolio_index.h"
#include "core/symbol_rows.h"
#include "qdb/portfolio_files.h"

namespace core {

CommandResult RewriteMasterNames(const std::string& master_text, const std::string& old_text,
                                 const std::string& new_symbol, const std::string& new_name) {
  // The grid is sorted, so the row says nothing about the record's place: find the entry by
  // the text the row shows. Exactly one entry changes, in every index file that holds it.
  IndexEdit edit(master_text);
  if (auto failure = edit.find(grid_symbol_text, old_text)) return *failure;
  if (edit.entry().extended &&
      new_symbol.size() >= static_cast<std::size_t>(qdb::xmaster_offset::kSymbolWidth)) {
    return CommandResult::failure("The symbol of an XMASTER entry holds at most " +
                                  std::to_string(qdb::xmaster_offset::kSymbolWidth - 1) +
                                  " characters.");
  }
  rename_entry(edit.index(), edit.entry(), new_symbol, new_name);
  return edit.write(".NEW", true);
}

CommandResult rename_symbol(const std::string& master_path, const std::string& old_text,
                            const std::string& new_symbol, const std::string& new_name) {
  if (new_symbol.empty()) return CommandResult::failure("You must enter a symbol");
  const auto width = static_cast<std::size_t>(qdb::master_offset::kTextWidth);
  if (new_symbol.size() > width || new_name.size() > width)
    return CommandResult::failure("The symbol and the name hold at most 16 characters each.");
  return RewriteMasterNames(master_path, old_text, new_symbol, new_name);
}

}  // namespace core
