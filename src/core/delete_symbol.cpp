#include "core/delete_symbol.h"

#include "core/portfolio_index.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "core/symbol_rows.h"
#include "qdb/failure.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"

namespace core {

CommandResult delete_symbol(const std::string& portfolio_dir, const std::string& master_text,
                            const std::string& symbol_text) {
  qdb::clear_failure();
  const std::string master_path = qdb::resolve_path(master_text);
  const qdb::PortfolioLock lock(
      {qdb::normalize_dir(portfolio_dir), qdb::split_path(master_path).first});
  if (!lock.locked()) return CommandResult::failure(lock.failure());
  std::optional<PortfolioIndex> index = read_portfolio_index(master_path);
  if (!index) return CommandResult::failure(master_unreadable_message(master_path));

  const std::optional<IndexEntry> found = find_entry(*index, [&](const qdb::MasterRecord& record) {
    return symbol_field_text(record) == symbol_text;
  });
  if (!found) return CommandResult::failure(symbol_not_found_message(symbol_text, master_path));

  const int file_number = entry_record(*index, *found).file_number();
  remove_entry(*index, *found);
  const bool several = index->emaster_changed || index->xmaster_changed;
  std::string restore_failed;
  if (!write_portfolio_index(*index, ".~NU", false, &restore_failed))
    return CommandResult::failure(index_unwritable_message(master_path, several, restore_failed));

  CommandResult result;
  result.ok = true;
  if (index_uses_number(*index, file_number)) {
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
