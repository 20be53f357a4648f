// The portfolio search filter: which directories the discovery walk may enter.
#pragma once

#include <string>
#include <string_view>

namespace core {

struct PortfolioFilter {
  bool limit = false;      // limit the walk to paths related to the filter path
  std::string path_upper;  // the filter path in upper case

  PortfolioFilter() = default;
  // path may be in any case; it is kept upper-cased.
  PortfolioFilter(bool limit_to_filter, std::string_view filter_path);
};

// True when the walk may enter path: always with the limit off; with it on, when the filter
// path occurs in the upper-cased path or the upper-cased path occurs in the filter path
// (plain substrings, separators not treated specially).
bool PathMatchesFilter(std::string_view path, const PortfolioFilter& filter);

}  // namespace core
