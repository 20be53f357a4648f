// dorvane-cli commands: each command lives in its own source file and registers itself here.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Command {
  const char* name;     // "symbols"
  const char* usage;    // "symbols DIR"
  const char* summary;  // one line for the overview
  // args are the words after the command name (options included). A usage error prints
  // the usage on err and returns kExitUsage; "--help" is answered by main before run.
  int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

// Registers a command at static-initialisation time: `static cli::Registrar r{{...}};`
struct Registrar {
  explicit Registrar(const Command& command);
};

const std::vector<Command>& commands();

// Prints "usage: dorvane-cli <usage>" on err and returns kExitUsage.
int usage_error(const Command& command, std::ostream& err, const std::string& detail = {});

// Splits args into positional words and --options. Options listed in with_value take the
// next word (or "--opt=value"); others are flags. Unknown options make ok false.
struct ParsedArgs {
  bool ok = true;
  std::string error;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name without "--", value
  bool has(const std::string& name) const;
  const std::string* value(const std::string& name) const;
};
ParsedArgs parse_args(const std::vector<std::string>& args,
                      const std::vector<std::string>& with_value,
                      const std::vector<std::string>& flags = {});

}  // namespace cli
