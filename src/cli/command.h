// dorvane-cli commands: each command lives in its own source file and registers itself here.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What a command's words must be: exactly positional words besides the options (at least that
// many when the last may repeat), the options in with_value taking a value and those in flags
// standing alone.
struct Arguments {
  Arguments(std::size_t positional_count, std::vector<std::string> value_options = {},
            std::vector<std::string> flag_options = {}, bool last_repeats = false)
      : positional(positional_count),
        with_value(std::move(value_options)),
        flags(std::move(flag_options)),
        repeats(last_repeats) {}
  std::size_t positional;
  std::vector<std::string> with_value;
  std::vector<std::string> flags;
  bool repeats = false;
};

struct ParsedArgs;

struct Command {
  const char* name;     // "symbols"
  const char* usage;    // "symbols DIR"
  const char* summary;  // one line for the overview
  Arguments arguments;
  // Runs with the words after the command name parsed by arguments (run_command). A usage
  // error found later prints the usage on err and returns kExitUsage; "--help" is answered by
  // main before run.
  int (*run)(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);
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

// The opening every command shares: parses args (the words after the command name) by the
// command's arguments and runs it. Unknown options, a missing option value or another number
// of positional words print the usage on err and answer kExitUsage.
int run_command(const Command& command, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err);

}  // namespace cli
