// The data, layout and backup files that belong to a MASTER record's file number.
#pragma once

#include <string>
#include <vector>

#include "core/master_image.h"

namespace core {

// True when a record of the image uses file_number.
bool file_number_in_use(const MasterImage& image, int file_number);

// Deletes F<n>.DAT, F<n>.DOP and F<n>.BAK of dir (ending in a separator; names matched without
// regard to case). Files that don't exist are passed over; returns the paths that exist but
// could not be deleted.
std::vector<std::string> remove_symbol_files(const std::string& dir, int file_number);

}  // namespace core
