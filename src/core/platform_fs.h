// The directory listing of the discovery walk: the one place where core asks the host about
// directories (entry types from the listing itself, devices and file-system types).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace core::platform {

struct WalkEntry {
  std::string name;
  bool is_directory = false;  // a real directory; a symbolic link never counts as one
  bool is_symlink = false;
};

struct WalkListing {
  std::uint64_t device = 0;  // the device holding the directory (0 where the host has none)
  std::vector<WalkEntry> entries;
};

enum class WalkOpen {
  kListed,      // entries filled
  kUnreadable,  // the directory could not be opened or read
  kVirtual,     // a virtual file system (process, kernel or device tables): not entered
};

// Lists dir for the walk. parent_device is the device of the directory dir was reached from
// (nullopt for the walk's root); the file-system type is examined only when the device
// differs, so a walk costs one status call per directory. Never follows a symbolic link at
// the last component of dir unless dir is the root.
WalkOpen list_for_walk(const std::string& dir, std::optional<std::uint64_t> parent_device,
                       WalkListing& out);

// Whether the symbolic link at path leads to something other than a directory (false when it
// leads nowhere).
bool link_leads_to_non_directory(const std::string& path);

}  // namespace core::platform
