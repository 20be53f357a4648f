#include "core/symbol_files.h"

#include <cerrno>
#include <cstring>

#include "qdb/desktop_trash.h"
#include "qdb/extended_master.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace core {

bool file_number_in_use(const MasterImage& image, int file_number) {
  for (const qdb::MasterRecord& record : image.records) {
    if (record.file_number() == file_number) return true;
  }
  return false;
}

std::vector<LeftFile> remove_symbol_files(const std::string& dir, int file_number,
                                          const std::optional<std::string>& trash) {
  qdb::FileSystem& files = qdb::file_system();
  const qdb::DirListing listing(dir);
  std::vector<LeftFile> left;
  for (const std::string_view extension :
       {std::string_view("DAT"), std::string_view("DOP"), qdb::suffix::kBackupExtension}) {
    // The quotes of an XMASTER entry are in F<n>.MWD.
    const std::string name = extension == "DAT" ? qdb::quote_file_name(file_number)
                                                : qdb::data_file_name(file_number, extension);
    if (listing.ok() && !listing.contains(name)) continue;
    // Without a listing the names are tried as they are: one that is there and stays is a
    // failure, and so is a quote file not found under its own name, as it may be there under
    // another case.
    const std::string path = listing.resolve(name);
    if (trash) {
      // Unlisted, a name that isn't there as it is is no failure.
      if (!listing.ok() && !files.exists(path)) continue;
      const qdb::Result<std::string> moved = qdb::move_to_trash(*trash, path);
      if (!moved) left.push_back({path, moved.error().cause});
      continue;
    }
    errno = 0;
    if (files.remove(path)) continue;
    const int error = errno;
    if (error == ENOENT) {
      if (!listing.ok() && extension == "DAT") left.push_back({path, listing.error().cause});
      continue;  // gone already
    }
    left.push_back({path, error != 0 ? std::strerror(error) : "the file could not be removed"});
  }
  return left;
}

std::string left_file_message(const LeftFile& left) {
  return "The symbol's MASTER record is gone, but the file\n" + left.path +
         "\ncould not be deleted: " + left.cause;
}

}  // namespace core
