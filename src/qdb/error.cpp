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

std::string file_name_of(std::string_view path) {
  auto [dir, name] = split_path(path);
  return name.empty() ? std::string(path) : name;
}

}  // namespace qdb
