// Paths, roots and the discovery walk's directory listing on Windows. The listing goes
// through std::filesystem: it carries each entry's attributes, so no entry is examined on its
// own.
#ifdef _WIN32

#include <windows.h>

#include <filesystem>
#include <system_error>

#include "core/platform_fs.h"

namespace core::platform {

namespace fs = std::filesystem;

bool is_separator(char c) { return c == '/' || c == '\\'; }

char separator() { return '\\'; }

char fold_name_char(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

void trim_drive_root(std::string& text) {
  if (text.size() == 3 && text[1] == ':' && is_separator(text[2])) text.pop_back();
}

std::vector<std::string> fixed_roots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (drives & (1u << i)) roots.push_back(std::string(1, static_cast<char>('A' + i)) + ":\\");
  }
  return roots;
}

std::optional<std::string> home_directory() { return std::nullopt; }

std::string mounts_table() { return {}; }

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
