#include "core/delete_symbol.h"

#include "core/master_image.h"
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
  std::optional<MasterImage> image = read_master_image(master_path);
  if (!image) return CommandResult::failure(master_unreadable_message(master_path));

  auto found = image->records.end();
  for (auto it = image->records.begin(); it != image->records.end(); ++it) {
    if (symbol_field_text(*it) == symbol_text) {
      found = it;
      break;
    }
  }
  if (found == image->records.end())
    return CommandResult::failure(symbol_not_found_message(symbol_text, master_path));

  const int file_number = found->file_number();
  image->records.erase(found);
  lower_counts(image->header);
  if (!write_master_image(master_path, ".~NU", *image))
    return CommandResult::failure(master_unwritable_message(master_path));

  CommandResult result;
  result.ok = true;
  if (file_number_in_use(*image, file_number)) {
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
