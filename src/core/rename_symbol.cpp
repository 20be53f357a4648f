#include "core/rename_symbol.h"

#include "core/portfolio_index.h"
#include "core/symbol_messages.h"
#include "core/symbol_rows.h"
#include "qdb/failure.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"

namespace core {

CommandResult RewriteMasterNames(const std::string& master_text, const std::string& old_text,
                                 const std::string& new_symbol, const std::string& new_name) {
  qdb::clear_failure();
  const std::string master_path = qdb::resolve_path(master_text);
  const qdb::PortfolioLock lock({qdb::split_path(master_path).first});
  if (!lock.locked()) return CommandResult::failure(lock.failure());
  std::optional<PortfolioIndex> index = read_portfolio_index(master_path);
  if (!index) return CommandResult::failure(master_unreadable_message(master_path));

  // The grid is sorted, so the row says nothing about the record's place: find the entry by
  // the text the row shows. Exactly one entry changes, in every index file that holds it.
  const std::optional<IndexEntry> target = find_entry(*index, [&](const qdb::MasterRecord& record) {
    return grid_symbol_text(record) == old_text;
  });
  if (!target) return CommandResult::failure(symbol_not_found_message(old_text, master_path));
  if (target->extended &&
      new_symbol.size() >= static_cast<std::size_t>(qdb::xmaster_offset::kSymbolWidth)) {
    return CommandResult::failure("The symbol of an XMASTER entry holds at most " +
                                  std::to_string(qdb::xmaster_offset::kSymbolWidth - 1) +
                                  " characters.");
  }
  rename_entry(*index, *target, new_symbol, new_name);
  const bool several = index->emaster_changed || index->xmaster_changed;
  std::string restore_failed;
  if (!write_portfolio_index(*index, ".NEW", true, &restore_failed)) {
    return CommandResult::failure(index_unwritable_message(master_path, several, restore_failed));
  }

  CommandResult result;
  result.ok = true;
  return result;
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
