// The portfolio discovery walk.
#include "core/discovery.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "core/platform_fs.h"
#include "qdb/master_file.h"

namespace core {
namespace {

using platform::is_separator;

std::string child_path(const std::string& dir, const std::string& name) {
  std::string path;
  path.reserve(dir.size() + 1 + name.size());
  path = dir;
  // The root "/" already ends in the separator: its children are "/home", not "//home".
  if (path.empty() || !is_separator(path.back())) path += platform::separator();
  path += name;
  return path;
}

// A directory waiting to be walked, with the device of the directory it was found in.
struct Pending {
  std::string path;
  std::optional<std::uint64_t> parent_device;
};

}  // namespace

void ScanDirectory(const std::string& directory, std::vector<std::string>& found,
                   const PortfolioFilter& filter, DiscoveryObserver* observer) {
  // An explicit stack instead of recursion, so a very deep tree cannot exhaust the call
  // stack. Pushing a directory's subdirectories in listing order and always taking the last
  // gives the same order as walking each list from its end, recursing into each element.
  std::vector<Pending> stack;
  stack.push_back({directory, std::nullopt});
  platform::WalkListing listing;
  int found_count = static_cast<int>(found.size());

  while (!stack.empty()) {
    Pending current = std::move(stack.back());
    stack.pop_back();
    if (observer) observer->directory_visited(current.path);

    if (platform::list_for_walk(current.path, current.parent_device, listing) !=
        platform::WalkOpen::kListed) {
      continue;
    }

    bool has_master = false;
    for (const platform::WalkEntry& entry : listing.entries) {
      if (!has_master && !entry.is_directory && qdb::is_master_name(entry.name)) {
        // A link named MASTER counts when what it leads to is not a directory.
        has_master = !entry.is_symlink ||
                     platform::link_leads_to_non_directory(child_path(current.path, entry.name));
      }
      if (!entry.is_directory || entry.name.front() == '.') continue;
      std::string path = child_path(current.path, entry.name);
      if (!PathMatchesFilter(path, filter)) continue;
      stack.push_back({std::move(path), listing.device});
    }
    if (has_master) {
      found.push_back(current.path);
      ++found_count;
      if (observer) observer->portfolio_found(current.path, found_count);
    }
  }
}

std::string normalize_walk_root(std::string_view root) {
  std::string text(root);
  while (text.size() > 1 && is_separator(text.back())) text.pop_back();
  // On hosts with drives, "C:\" and "C:" both name the drive root: the walk writes "C:".
  platform::trim_drive_root(text);
  return text;
}

std::vector<std::string> find_portfolios(std::string_view root, const PortfolioFilter& filter,
                                         DiscoveryObserver* observer) {
  std::vector<std::string> found;
  ScanDirectory(normalize_walk_root(root), found, filter, observer);
  return found;
}

}  // namespace core
