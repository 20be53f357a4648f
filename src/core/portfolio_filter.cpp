// The filter rule of the discovery walk.
#include "core/portfolio_filter.h"

#include "qdb/text.h"

namespace core {

PortfolioFilter::PortfolioFilter(bool limit_to_filter, std::string_view filter_path)
    : limit(limit_to_filter), path_upper(qdb::to_upper_ascii(filter_path)) {}

bool PathMatchesFilter(std::string_view path, const PortfolioFilter& filter) {
  if (!filter.limit) return true;
  const std::string upper = qdb::to_upper_ascii(path);
  const std::string_view f = filter.path_upper;
  return upper.find(f) != std::string::npos || f.find(upper) != std::string_view::npos;
}

}  // namespace core
