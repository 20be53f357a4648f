#include "core/delete_symbol.h"

#include "core/master_image.h"
#include "core/symbol_rows.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "qdb/portfolio_files.h"

namespace core {

CommandResult delete_symbol(const std::string& portfolio_dir, const std::string& master_text,
                            const std::string& symbol_text) {
  const std::string master_path = qdb::resolve_path(master_text);
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
  for (const std::string& left : remove_symbol_files(qdb::normalize_dir(portfolio_dir), file_number))
    result.messages.push_back("The file\n" + left + "\ncould not be deleted.");
  return result;
}

}  // namespace core
