// The discovery walk's directory listing on Windows, through std::filesystem: the listing
// carries each entry's attributes, so no entry is examined on its own.
#ifdef _WIN32

#include <filesystem>
#include <system_error>

#include "core/platform_fs.h"

namespace core::platform {

namespace fs = std::filesystem;

WalkOpen list_for_walk(const std::string& dir, std::optional<std::uint64_t> parent_device,
                       WalkListing& out) {
  (void)parent_device;
  out.entries.clear();
  out.device = 0;
  // "C:" alone names the drive's current directory; the walk means its root.
  std::string where = dir;
  if (!where.empty() && where.back() == ':') where += '\\';
  std::error_code ec;
  fs::directory_iterator it(fs::path(where), ec);
  if (ec) return WalkOpen::kUnreadable;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    WalkEntry entry;
    entry.name = it->path().filename().string();
    std::error_code type_ec;
    entry.is_symlink = it->is_symlink(type_ec);
    entry.is_directory = !entry.is_symlink && it->is_directory(type_ec);
    out.entries.push_back(std::move(entry));
  }
  if (ec) {
    out.entries.clear();
    return WalkOpen::kUnreadable;
  }
  return WalkOpen::kListed;
}

bool link_leads_to_non_directory(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(fs::path(path), ec);
  return !ec && fs::exists(status) && !fs::is_directory(status);
}

}  // namespace core::platform

#endif  // _WIN32
