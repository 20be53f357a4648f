#include "cli/quote_view.h"

#include <charconv>
#include <vector>

#include "cli/command.h"
#include "core/symbol_entries.h"
#include "core/symbol_rows.h"
#include "qdb/master_file.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace cli {
namespace {

bool names(const qdb::MasterRecord& record, const std::string& key, KeyMatch match) {
  switch (match) {
    case KeyMatch::kGridText:
      return core::grid_symbol_text(record) == key;
    case KeyMatch::kSymbolField:
      return core::symbol_field_text(record) == key;
    case KeyMatch::kLookup:
      break;
  }
  return qdb::symbol_matches(record, key);
}

}  // namespace

KeyEntry resolve_key(const Command& command, const ParsedArgs& parsed, const std::string& dir,
                     const std::string& key, std::ostream& err, KeyMatch match,
                     const qdb::DirListing* listing) {
  KeyEntry resolved;
  // Index files that can't be read name nothing here: the command meets that failure its own way.
  const std::vector<qdb::MasterRecord> named =
      core::entries_named(
          dir, [&](const qdb::MasterRecord& record) { return names(record, key, match); }, listing)
          .value_or(std::vector<qdb::MasterRecord>{});
  if (const std::string* text = parsed.value(kFileNumberOption)) {
    int number = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (ec != std::errc() || end != text->data() + text->size() || number < 1) {
      resolved.exit_code = usage_error(
          command, err, "--file-number takes a file number (1 and up), not '" + *text + "'");
      return resolved;
    }
    for (const qdb::MasterRecord& record : named) {
      if (record.file_number() == number) {
        resolved.file_number = number;
        return resolved;
      }
    }
    err << "dorvane-cli " << command.name << ": no entry with file number " << number
        << " is named " << key << " in the MASTER of " << dir << "\n";
    resolved.exit_code = kExitFailure;
    return resolved;
  }
  if (named.size() > 1) {
    std::string detail =
        key + " names " + std::to_string(named.size()) + " entries of the MASTER of " + dir + ":";
    for (const qdb::MasterRecord& record : named)
      detail += "\n  " + core::entry_description(record);
    detail += "\nChoose one with --file-number N.";
    resolved.exit_code = usage_error(command, err, detail);
  }
  return resolved;
}

std::optional<core::ViewState> read_view_state(const std::string& dir, const std::string& key,
                                               std::ostream& err, int file_number) {
  core::ViewState view;
  const qdb::StatusCode status = core::read_view_state(dir, key, view, file_number);
  if (status != qdb::kSuccess) {
    print_read_failure("Error in FillQuotesGrid", dir, key, status, err, file_number);
    return std::nullopt;
  }
  return view;
}

KeyView read_key_view(const Command& command, const ParsedArgs& parsed, std::ostream& err) {
  KeyView result;
  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];
  const KeyEntry entry = resolve_key(command, parsed, dir, key, err);
  if (entry.exit_code) {
    result.exit_code = *entry.exit_code;
    return result;
  }
  result.view = read_view_state(dir, key, err, entry.file_number);
  if (!result.view) result.exit_code = kExitFailure;
  return result;
}

void print_read_failure(const std::string& message, const std::string& dir, const std::string& key,
                        int status, std::ostream& err, int file_number) {
  const std::string cause = qdb::read_failure_cause(dir, key, file_number);
  err << message << "\n";
  if (cause.empty()) {
    err << "(" << key << ": " << qdb::status_text(status) << ")\n";
  } else {
    err << key << ": " << cause << "\n";
  }
}

int finish(const core::CommandResult& result, std::ostream& err) {
  for (const std::string& message : result.messages) err << message << "\n";
  return result.ok ? kExitOk : kExitFailure;
}

}  // namespace cli
