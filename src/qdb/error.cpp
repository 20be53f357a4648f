#include "qdb/error.h"

#include <cstring>

#include "qdb/portfolio_files.h"

namespace qdb {

Error error_of(std::string_view path, int error, StatusCode status) {
  if (error == kErrorNotRegular)
    return Error{status, file_name_of(path) + " is not a regular file"};
  const char* text = error != 0 ? std::strerror(error) : "the step failed";
  return Error{status, file_name_of(path) + ": " + text};
}

Error not_confirmed_error(const std::string& dir, int error) {
  // The directory by its last component.
  std::string shown = dir;
  while (shown.size() > 1 && platform_is_separator(shown.back())) shown.pop_back();
  Error failed = error_of(shown.empty() ? std::string(".") : shown, error != 0 ? error : EIO);
  failed.status = kNotConfirmed;
  return failed;
}

std::string file_name_of(std::string_view path) {
  auto [dir, name] = split_path(path);
  return name.empty() ? std::string(path) : name;
}

}  // namespace qdb
