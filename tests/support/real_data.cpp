#include "support/real_data.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace testing_support {
namespace {

fs::path real_data_dir() {
  const char* set = std::getenv("DORVANE_REAL_DATA_DIR");
  return fs::path(set != nullptr && *set != '\0' ? set : DORVANE_REAL_DATA_DIR);
}

}  // namespace

fs::path real_portfolio(const std::string& name) { return real_data_dir() / name; }

std::string real_portfolio_missing(const std::string& name) {
  const fs::path dir = real_data_dir();
  std::error_code ec;
  if (!dir.empty() && fs::is_directory(dir / name, ec)) return {};
  return "real portfolio \"" + name + "\" not found in \"" + dir.string() +
         "\": set DORVANE_REAL_DATA_DIR to the directory that holds the real portfolios";
}

}  // namespace testing_support
