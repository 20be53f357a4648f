#include "core/roots.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/platform_fs.h"

namespace core {

namespace {

using platform::is_separator;

bool starts_with_root(const std::string& path, const std::string& root) {
  if (root.empty() || root.size() > path.size()) return false;
  for (std::size_t i = 0; i < root.size(); ++i) {
    if (platform::fold_name_char(path[i]) != platform::fold_name_char(root[i])) return false;
  }
  // The match must end on a component boundary: the whole path, a root that itself ends in
  // a separator ("/", "C:\"), or a separator next in the path.
  return root.size() == path.size() || is_separator(root.back()) || is_separator(path[root.size()]);
}

// Decodes the octal escapes the kernel writes for blanks, tabs, new lines and backslashes
// in mount points ("\040" and the like).
std::string unescape_mount_field(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto is_octal = [&](std::size_t k) {
      return k < field.size() && field[k] >= '0' && field[k] <= '7';
    };
    if (field[i] == '\\' && is_octal(i + 1) && is_octal(i + 2) && is_octal(i + 3)) {
      const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value <= 0xFF) {
        out.push_back(static_cast<char>(value));
        i += 3;
        continue;
      }
    }
    out.push_back(field[i]);
  }
  return out;
}

std::vector<std::string_view> split_fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// Mount points below these hold kernel interfaces, never user files, whatever their type.
bool under_kernel_tree(const std::string& mount_point) {
  for (const std::string root : {"/proc", "/sys", "/dev"}) {
    if (starts_with_root(mount_point, root)) return true;
  }
  return false;
}

std::string strip_trailing_separators(std::string path) {
  while (path.size() > 1 && is_separator(path.back())) path.pop_back();
  return path;
}

bool is_directory(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

}  // namespace

bool is_virtual_file_system(std::string_view type) {
  static constexpr std::array<std::string_view, 30> kVirtual = {
      "proc",       "sysfs",       "tmpfs",    "devtmpfs", "devpts",  "cgroup",
      "cgroup2",    "overlay",     "squashfs", "mqueue",   "debugfs", "tracefs",
      "securityfs", "pstore",      "bpf",      "configfs", "fusectl", "hugetlbfs",
      "autofs",     "binfmt_misc", "efivarfs", "nsfs",     "ramfs",   "rpc_pipefs",
      "nfsd",       "selinuxfs",   "rootfs",   "devfs",    "fdescfs", "none"};
  if (std::find(kVirtual.begin(), kVirtual.end(), type) != kVirtual.end()) return true;
  // FUSE file systems are kept (sshfs, ntfs-3g, rclone hold user files) except the desktop's
  // and containers' own helpers, which only mirror other places or fake kernel files.
  static constexpr std::array<std::string_view, 5> kVirtualFuse = {
      "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", "fuse.xdg-document-portal"};
  return std::find(kVirtualFuse.begin(), kVirtualFuse.end(), type) != kVirtualFuse.end();
}

std::vector<std::string> real_mount_points(std::string_view mounts_text) {
  std::vector<std::string> points;
  std::size_t pos = 0;
  while (pos < mounts_text.size()) {
    std::size_t end = mounts_text.find('\n', pos);
    if (end == std::string_view::npos) end = mounts_text.size();
    const auto fields = split_fields(mounts_text.substr(pos, end - pos));
    pos = end + 1;
    if (fields.size() < 3) continue;
    if (is_virtual_file_system(fields[2])) continue;
    std::string point = strip_trailing_separators(unescape_mount_field(fields[1]));
    if (point.empty() || point.front() != '/' || under_kernel_tree(point)) continue;
    points.push_back(std::move(point));
  }
  return points;
}

std::string longest_root_for(const std::string& path, const std::vector<std::string>& roots) {
  std::string best;
  for (const std::string& root : roots) {
    if (root.size() > best.size() && starts_with_root(path, root)) best = root;
  }
  return best;
}

std::vector<std::string> list_roots() {
  std::vector<std::string> roots = platform::fixed_roots();
  if (std::optional<std::string> home = platform::home_directory()) {
    roots.push_back(strip_trailing_separators(std::move(*home)));
  }
  // Bind-mounted single files (a container's /etc/hosts) are mount points too: only
  // directories can hold portfolios.
  for (std::string& point : real_mount_points(platform::mounts_table())) {
    if (is_directory(point)) roots.push_back(std::move(point));
  }
  std::sort(roots.begin(), roots.end());
  roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
  return roots;
}

}  // namespace core
