// The words of a command's usage line ("adjust DIR KEY FROM TO [--price P]"), sorted into
// positional arguments and options, for the generated manual page and shell completion.
#pragma once

#include <string>
#include <vector>

namespace cli {

struct UsageOption {
  std::string name;         // "--price"
  std::string placeholder;  // "P"; empty for a flag
};

struct UsageWords {
  std::vector<std::string> positional;  // "DIR", "KEY", ...
  std::vector<UsageOption> options;
};

// Splits the words after the command name: bracketed "--name [VALUE]" groups are options,
// other words positional arguments.
UsageWords usage_words(const std::string& usage);

// How a shell completes a placeholder: "dir" for directories, "file" for files (FILE,
// OUT.png), the choices
// of "a|b|c" as "a|b|c", and "" for free text.
std::string completion_kind(const std::string& placeholder);

}  // namespace cli
