#include "core/entry_check.h"

#include "core/quote_texts.h"

namespace core {
namespace {

// The text as typed, quoted so that an empty text or blanks show.
std::string quoted(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  out.append(text);
  out.push_back('"');
  return out;
}

}  // namespace

void EntryCheck::refuse(std::string_view field, const std::string& why) {
  m_causes.push_back(std::string(field) + ": " + why);
}

void EntryCheck::date_in_range(std::string_view field, std::string_view text, qdb::DateSerial date,
                               qdb::DateSerial first, qdb::DateSerial last) {
  const std::string range =
      "enter one from " + display_date_text(first) + " to " + display_date_text(last);
  if (date == 0)
    refuse(field, quoted(text) + " is not a date; " + range);
  else if (date < first)
    refuse(field, std::string(text) + " is before the first quote, " + display_date_text(first));
  else if (date > last)
    refuse(field, std::string(text) + " is after the last quote, " + display_date_text(last));
}

void EntryCheck::date(std::string_view field, std::string_view text, qdb::DateSerial date) {
  if (date == 0) refuse(field, quoted(text) + " is not a date; enter one as MM/DD/YY");
}

void EntryCheck::number(std::string_view field, std::string_view text,
                        const std::optional<float>& value) {
  if (!value) refuse(field, quoted(text) + " is not a number");
}

void EntryCheck::nonzero_number(std::string_view field, std::string_view text,
                                const std::optional<float>& value) {
  if (!value)
    refuse(field, quoted(text) + " is not a number; enter one other than 0");
  else if (*value == 0.0f)
    refuse(field, quoted(text) + " is 0; enter a number other than 0");
}

}  // namespace core
