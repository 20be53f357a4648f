// The one way an operation of the library or of core fails: an Error (the status the messages
// know, and the cause in words for the user), answered in place of a value by a Result.
#pragma once

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "qdb/status.h"

namespace qdb {

struct Error {
  // The status of the failure (status.h); never kSuccess.
  StatusCode status = kFileWrite;
  // Why the step failed, for the user ("F3.DAT: No space left on device", "F3.DAT was changed
  // by another program"); empty when there is nothing to add to the command's own message.
  std::string cause;

  // message, then the cause on a line of its own when there is one. A command's message tells
  // what failed before anything changed ("Nothing was changed"); a failure after the change
  // (kNotConfirmed) is told in words of its own instead.
  std::string with_cause(std::string message) const {
    if (status == kNotConfirmed) message = kNotConfirmedMessage;
    if (!cause.empty()) message += "\n" + cause;
    return message;
  }
  static constexpr const char* kNotConfirmedMessage =
      "The change is in place but could not be confirmed on disk.";
};

// The errno FileSystem::open_read leaves when the entry is no regular file (a directory, FIFO
// or device, never a file to read); outside the range of the system's own numbers.
inline constexpr int kErrorNotRegular = 0x10000;

// The Error of a directory sync that failed after its files took their places: status
// kNotConfirmed, the cause naming the directory and the reason.
Error not_confirmed_error(const std::string& dir, int error);

// "<name>: <system's text for error>", with name the last component of path; an error of 0
// reads "the step failed", kErrorNotRegular "<name> is not a regular file".
Error error_of(std::string_view path, int error, StatusCode status = kFileWrite);
// error_of with the errno of the step that just failed (EIO when it set none).
inline Error last_error_of(std::string_view path, StatusCode status = kFileWrite) {
  return error_of(path, errno != 0 ? errno : EIO, status);
}

// The last component of path ("F3.DAT" of "/data/F3.DAT").
std::string file_name_of(std::string_view path);

// A value, or the Error that kept the operation from making one.
template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

  bool ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return ok(); }
  // The status: kSuccess for a value, else the error's.
  StatusCode status() const { return ok() ? kSuccess : error().status; }

  // The value (only when ok()).
  T& value() & { return std::get<0>(m_state); }
  const T& value() const& { return std::get<0>(m_state); }
  T&& value() && { return std::get<0>(std::move(m_state)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  // The error (only when !ok()).
  const Error& error() const& { return std::get<1>(m_state); }
  Error&& error() && { return std::get<1>(std::move(m_state)); }

 private:
  std::variant<T, Error> m_state;
};

// Success without a value, or the Error.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : m_error(std::move(error)) {}

  bool ok() const { return !m_error; }
  explicit operator bool() const { return ok(); }
  StatusCode status() const { return ok() ? kSuccess : m_error->status; }
  const Error& error() const& { return *m_error; }
  Error&& error() && { return std::move(*m_error); }

 private:
  std::optional<Error> m_error;
};

}  // namespace qdb
