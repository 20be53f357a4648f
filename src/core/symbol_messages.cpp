#include "core/symbol_messages.h"

namespace core {

std::string master_unreadable_message(const std::string& master_path, const qdb::Error& error) {
  return error.with_cause("The MASTER file\n" + master_path +
                          "\ncould not be read. Nothing was changed.");
}

std::string master_unwritable_message(const std::string& master_path, const qdb::Error& error) {
  return error.with_cause("The MASTER file\n" + master_path +
                          "\ncould not be rewritten. Nothing was changed.");
}

std::string index_unwritable_message(const std::string& master_path, bool several,
                                     const std::string& restore_failed, const qdb::Error& error) {
  if (!restore_failed.empty()) {
    return error.with_cause("The index files beside\n" + master_path +
                            "\ncould not be rewritten, and these could not be restored:" +
                            restore_failed + "\nTheir backups (.BAK) hold the old contents.");
  }
  if (!several) return master_unwritable_message(master_path, error);
  return error.with_cause("The index files (MASTER, EMASTER, XMASTER) beside\n" + master_path +
                          "\ncould not be rewritten. Nothing was changed.");
}

std::string symbol_not_found_message(const std::string& symbol, const std::string& where) {
  return "Symbol " + symbol + " was not found in\n" + where + "\nNothing was changed.";
}

}  // namespace core
