// Messages of the symbol commands for failures the user must hear about.
#pragma once

#include <string>

namespace core {

std::string master_unreadable_message(const std::string& master_path);
std::string master_unwritable_message(const std::string& master_path);
std::string symbol_not_found_message(const std::string& symbol, const std::string& where);

}  // namespace core
