#include "cli/export_options.h"

#include <sstream>
#include <utility>

namespace cli {

namespace {

bool parse_delimiter(const std::string& text, int& choice) {
  if (text == "space")
    choice = 0;
  else if (text == "comma")
    choice = 1;
  else if (text == "tab")
    choice = 2;
  else
    return false;
  return true;
}

bool parse_omit(const std::string& list, core::ExportOptions& options) {
  std::istringstream words(list);
  std::string word;
  while (std::getline(words, word, ',')) {
    if (word == "open")
      options.omit_open = true;
    else if (word == "high")
      options.omit_high = true;
    else if (word == "low")
      options.omit_low = true;
    else if (word == "close")
      options.omit_close = true;
    else if (word == "volume" || word == "vol")
      options.omit_volume = true;
    else if (word == "oi")
      options.omit_oi = true;
    else if (!word.empty())
      return false;
  }
  return true;
}

std::vector<std::string> joined(std::vector<std::string> words, std::vector<std::string> extra) {
  for (std::string& word : extra) words.push_back(std::move(word));
  return words;
}

}  // namespace

std::vector<std::string> export_value_options(std::vector<std::string> extra) {
  return joined({"delimiter", "omit", "date-format"}, std::move(extra));
}

std::vector<std::string> export_flag_options(std::vector<std::string> extra) {
  return joined({"title", "newest-first", "time"}, std::move(extra));
}

std::optional<int> read_export_options(const Command& command, const ParsedArgs& parsed,
                                       core::ExportOptions& options, std::ostream& err) {
  if (const std::string* delimiter = parsed.value("delimiter");
      delimiter && !parse_delimiter(*delimiter, options.delimiter))
    return usage_error(command, err, "unknown delimiter '" + *delimiter + "'");
  for (const auto& [name, value] : parsed.options)
    if (name == "omit" && !parse_omit(value, options))
      return usage_error(command, err, "unknown column in --omit " + value);
  if (const std::string* form = parsed.value("date-format");
      form && !core::parse_export_date_form(*form, options.date_form))
    return usage_error(command, err, "unknown date format '" + *form + "'");
  options.time = parsed.has("time");
  options.title = parsed.has("title");
  options.newest_first = parsed.has("newest-first");
  return std::nullopt;
}

}  // namespace cli
