// The checks of the quote dialogs' entries, collecting why entries are refused: one line per
// failed check, naming the field and what it allows, shown after "Invalid Data Entered" so the
// user knows what to correct.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/command_result.h"
#include "qdb/dates.h"

namespace core {

class EntryCheck {
 public:
  // A date field's serial: no date at all ("not a date"), or outside the series' dates
  // first..last ("before the first quote", "after the last quote").
  void date_in_range(std::string_view field, std::string_view text, qdb::DateSerial date,
                     qdb::DateSerial first, qdb::DateSerial last);
  // A date field that only has to hold a date.
  void date(std::string_view field, std::string_view text, qdb::DateSerial date);
  // A number field that takes any number.
  void number(std::string_view field, std::string_view text, const std::optional<float>& value);
  // A number field that takes any number but 0 (a share count, a multiplier).
  void nonzero_number(std::string_view field, std::string_view text,
                      const std::optional<float>& value);

  bool ok() const { return m_causes.empty(); }
  const std::vector<std::string>& causes() const { return m_causes; }
  // "Invalid Data Entered", each cause on a line of its own after it.
  CommandResult refusal() const { return CommandResult::invalid_entries(m_causes); }

 private:
  void refuse(std::string_view field, const std::string& why);

  std::vector<std::string> m_causes;
};

}  // namespace core
