#include "core/rename_symbol.h"

#include "core/master_image.h"
#include "core/symbol_messages.h"
#include "core/symbol_rows.h"
#include "qdb/failure.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"

namespace core {

CommandResult rewrite_master_names(const std::string& master_text, const std::string& old_text,
                                   const std::string& new_symbol, const std::string& new_name) {
  qdb::clear_failure();
  const std::string master_path = qdb::resolve_path(master_text);
  const qdb::PortfolioLock lock({qdb::split_path(master_path).first});
  if (!lock.locked()) return CommandResult::failure(lock.failure());
  std::optional<MasterImage> image = read_master_image(master_path);
  if (!image) return CommandResult::failure(master_unreadable_message(master_path));

  // The grid is sorted, so the row says nothing about the record's place: find the record by
  // the text the row shows. Exactly one record changes.
  qdb::MasterRecord* target = nullptr;
  for (qdb::MasterRecord& record : image->records) {
    if (grid_symbol_text(record) == old_text) {
      target = &record;
      break;
    }
  }
  if (target == nullptr) return CommandResult::failure(symbol_not_found_message(old_text, master_path));
  target->set_symbol(new_symbol);
  target->set_issue_name(new_name);

  const auto [dir, name] = qdb::split_path(master_path);
  const std::string backup_path = qdb::DirListing(dir).resolve(name + ".BAK");
  if (!qdb::copy_file(master_path, backup_path)) {
    return CommandResult::failure(qdb::with_cause("The backup\n" + backup_path +
                                                  "\ncould not be written. Nothing was changed."));
  }
  if (!write_master_image(master_path, ".NEW", *image))
    return CommandResult::failure(master_unwritable_message(master_path));

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
  return rewrite_master_names(master_path, old_text, new_symbol, new_name);
}

}  // namespace core
