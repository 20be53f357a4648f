// The outcome of a command that changes a portfolio: success or failure, the messages to show
// the user in order, and the settings values to store after a success.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "qdb/error.h"

namespace core {

struct SettingValue {
  std::string section;  // "Split"
  std::string name;     // "Date"
  std::string text;     // the entry text as typed
};

struct CommandResult {
  bool ok = false;
  // Shown in order. On failure the failure message(s); on success only notes about a step
  // that did not complete although the command did (rare).
  std::vector<std::string> messages;
  std::vector<SettingValue> settings;  // written by the caller after a success
  int status = 0;                      // the library status of a failed call, 0 otherwise
  // The entries were refused by the command's checks ("Invalid Data Entered" and its causes):
  // a dialog stays open with them.
  bool refused_entries = false;

  static CommandResult success(std::vector<SettingValue> settings) {
    CommandResult result;
    result.ok = true;
    result.settings = std::move(settings);
    return result;
  }

  static CommandResult failure(std::string message, int status = 0) {
    CommandResult result;
    result.messages.push_back(std::move(message));
    result.status = status;
    return result;
  }

  // "Invalid Data Entered", then each cause (the field and what it allows) on a line of its own.
  static CommandResult invalid_entries(const std::vector<std::string>& causes);

  // message with the error's cause on a line of its own, and its status.
  static CommandResult failure(std::string message, const qdb::Error& error) {
    return failure(error.with_cause(std::move(message)), error.status);
  }
};

// A repair's result (a struct with a failure text) that failed for the reason given, every
// other field at its default.
template <class Result>
Result failed_with(std::string failure) {
  Result result;
  result.failure = std::move(failure);
  return result;
}

// "Invalid Data Entered": what every quote dialog shows for entries that fail its checks.
inline constexpr const char* kInvalidDataEntered = "Invalid Data Entered";

inline CommandResult CommandResult::invalid_entries(const std::vector<std::string>& causes) {
  std::string message = kInvalidDataEntered;
  for (const std::string& cause : causes) message += "\n" + cause;
  CommandResult result = failure(std::move(message));
  result.refused_entries = true;
  return result;
}

}  // namespace core
