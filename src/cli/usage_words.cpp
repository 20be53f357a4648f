#include "cli/usage_words.h"

#include <sstream>

namespace cli {

UsageWords usage_words(const std::string& usage) {
  UsageWords words;
  std::istringstream in(usage);
  std::string word;
  in >> word;  // the command's name
  bool in_group = false;
  while (in >> word) {
    const bool opens = word.front() == '[';
    const bool closes = word.back() == ']';
    if (opens) word.erase(0, 1);
    if (closes) word.pop_back();
    if (opens) in_group = true;
    if (word.rfind("--", 0) == 0)
      words.options.push_back({word, {}});
    else if (in_group && !words.options.empty() && words.options.back().placeholder.empty())
      words.options.back().placeholder = word;
    else if (!word.empty())
      words.positional.push_back(word);
    if (closes) in_group = false;
  }
  return words;
}

std::string completion_kind(const std::string& placeholder) {
  if (placeholder.find('|') != std::string::npos) return placeholder;
  if (placeholder == "DIR" || placeholder == "DESTDIR" || placeholder == "ROOT" ||
      placeholder == "PATH")
    return "dir";
  if (placeholder == "FILE" || placeholder == "FILE..." || placeholder == "OUT.png") return "file";
  return {};
}

}  // namespace cli
