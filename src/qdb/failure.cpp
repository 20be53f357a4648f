#include "qdb/failure.h"

#include <cstring>

#include "qdb/portfolio_files.h"

namespace qdb {
namespace {
thread_local std::string t_cause;
}  // namespace

void clear_failure() { t_cause.clear(); }

void note_failure(std::string text) {
  if (t_cause.empty()) t_cause = std::move(text);
}

void note_error(std::string_view path, int error) {
  if (!t_cause.empty()) return;
  const char* text = error != 0 ? std::strerror(error) : "the step failed";
  t_cause = file_name_of(path) + ": " + text;
}

const std::string& failure_cause() { return t_cause; }

std::string with_cause(std::string message) {
  if (!t_cause.empty()) message += "\n" + t_cause;
  return message;
}

}  // namespace qdb
