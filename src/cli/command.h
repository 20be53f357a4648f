// dorvane-cli commands: each command lives in its own source file and registers itself here.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "qdb/code_page.h"

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

// The option of every command that shows or takes a name: the code page of the names of its
// portfolio (the first word, DIR), or "auto".
inline constexpr const char* kEncodingOption = "encoding";

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
  // The code page of the portfolio's names, set by run_command for a command that declares
  // --encoding: the page given, or the one DIR's names read best in.
  qdb::CodePage names = qdb::CodePage::kLatin1;
  bool has(const std::string& name) const;
  const std::string* value(const std::string& name) const;
};
ParsedArgs parse_args(const std::vector<std::string>& args,
                      const std::vector<std::string>& with_value,
                      const std::vector<std::string>& flags = {});

// The opening every command shares: parses args (the words after the command name) by the
// command's arguments and runs it. Unknown options, a missing option value or another number
// of positional words print the usage on err and answer kExitUsage. For a command declaring
// --encoding it settles the page of DIR's names (an unknown name is a usage error) and, for
// one that takes a KEY (it declares --file-number), gives the KEY, UTF-8 as typed, in that
// page's bytes.
int run_command(const Command& command, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err);

// A name given to the command (UTF-8, as typed) in the bytes of the portfolio's page; when the
// page can't hold one of its characters, prints the refusal naming it on err and answers
// nullopt.
std::optional<std::string> stored_name(const Command& command, const ParsedArgs& parsed,
                                       const std::string& text, std::ostream& err);

}  // namespace cli
