// The data, layout and backup files that belong to a MASTER record's file number.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/master_image.h"

namespace core {

// True when a record of the image uses file_number.
bool file_number_in_use(const MasterImage& image, int file_number);

// A file that exists but could not be deleted, and why.
struct LeftFile {
  std::string path;
  std::string cause;  // the system's words ("Permission denied")
};

// Deletes F<n>.DAT (F<n>.MWD from 256 on), F<n>.DOP and F<n>.BAK of dir (ending in a separator;
// names matched without regard to case), or moves them into the desktop trash directory trash
// when one is given (see qdb/desktop_trash.h). Files that don't exist are passed over; returns
// those that exist (or may, when the directory cannot be listed: then the quote file, with the
// listing's failure as its cause) but could not be deleted.
std::vector<LeftFile> remove_symbol_files(const std::string& dir, int file_number,
                                          const std::optional<std::string>& trash = std::nullopt);

// "The symbol's MASTER record is gone, but the file\n<path>\ncould not be deleted (<cause>)."
std::string left_file_message(const LeftFile& left);

}  // namespace core
