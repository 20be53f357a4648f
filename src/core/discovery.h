// Portfolio discovery: the walk of a directory tree for every directory holding a MASTER.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/portfolio_filter.h"

namespace core {

// What the walk reports while it runs (the app's progress window; the CLI reports nothing).
class DiscoveryObserver {
 public:
  virtual ~DiscoveryObserver() = default;
  // A directory is about to be examined.
  virtual void directory_visited(const std::string& directory) = 0;
  // directory holds a MASTER; found_count is the number of portfolios found so far.
  virtual void portfolio_found(const std::string& directory, int found_count) = 0;
};

// Walks directory and every subdirectory the filter lets in, depth first, a directory before
// its subdirectories and the subdirectories of one directory in the reverse of their listing
// order. A directory holding an entry named MASTER (any case) that is not a directory is
// appended to found. Names beginning with "." are not entered, symbolic links to directories
// are never followed, virtual file systems (/proc, /sys, /dev, /run ...) are not entered and a
// directory that cannot be read is skipped silently. directory itself is not tested against
// the filter. Paths are directory + separator + name as the file system lists it.
void ScanDirectory(const std::string& directory, std::vector<std::string>& found,
                   const PortfolioFilter& filter, DiscoveryObserver* observer = nullptr);

// The root text of a walk: trailing separators removed, except from a root that is only a
// separator ("/") or, on Windows, from a drive root, which becomes "C:".
std::string normalize_walk_root(std::string_view root);

// Every portfolio under root (normalised first), in the order the walk finds them.
std::vector<std::string> find_portfolios(std::string_view root, const PortfolioFilter& filter,
                                         DiscoveryObserver* observer = nullptr);

}  // namespace core
