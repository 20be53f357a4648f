#include "core/symbol_files.h"

#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace core {

bool file_number_in_use(const MasterImage& image, int file_number) {
  for (const qdb::MasterRecord& record : image.records) {
    if (record.file_number() == file_number) return true;
  }
  return false;
}

std::vector<std::string> remove_symbol_files(const std::string& dir, int file_number) {
  const qdb::DirListing listing(dir);
  std::vector<std::string> left;
  for (const char* extension : {"DAT", "DOP", "BAK"}) {
    const std::string name = qdb::data_file_name(file_number, extension);
    if (!listing.contains(name)) continue;
    const std::string path = listing.resolve(name);
    if (!qdb::file_system().remove(path)) left.push_back(path);
  }
  return left;
}

}  // namespace core
