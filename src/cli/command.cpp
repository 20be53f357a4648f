#include "cli/command.h"

#include "cli/quote_view.h"
#include "core/name_encoding.h"
#include "qdb/master_file.h"

namespace cli {

namespace {
std::vector<Command>& registry() {
  static std::vector<Command> list;
  return list;
}
}  // namespace

Registrar::Registrar(const Command& command) { registry().push_back(command); }

const std::vector<Command>& commands() { return registry(); }

int usage_error(const Command& command, std::ostream& err, const std::string& detail) {
  if (!detail.empty()) err << "dorvane-cli " << command.name << ": " << detail << "\n";
  err << "usage: dorvane-cli " << command.usage << "\n";
  return kExitUsage;
}

bool ParsedArgs::has(const std::string& name) const {
  for (const auto& [n, v] : options)
    if (n == name) return true;
  return false;
}

const std::string* ParsedArgs::value(const std::string& name) const {
  const std::string* found = nullptr;
  for (const auto& [n, v] : options)
    if (n == name) found = &v;  // the last one given wins
  return found;
}

ParsedArgs parse_args(const std::vector<std::string>& args,
                      const std::vector<std::string>& with_value,
                      const std::vector<std::string>& flags) {
  ParsedArgs parsed;
  auto listed = [](const std::vector<std::string>& list, const std::string& name) {
    for (const auto& s : list)
      if (s == name) return true;
    return false;
  };
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (options_done || word.size() < 3 || word.compare(0, 2, "--") != 0) {
      if (word == "--") {
        options_done = true;
        continue;
      }
      parsed.positional.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::string value;
    bool inline_value = false;
    if (auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
      inline_value = true;
    }
    if (listed(with_value, name)) {
      if (!inline_value) {
        if (i + 1 >= args.size()) {
          parsed.ok = false;
          parsed.error = "option --" + name + " needs a value";
          return parsed;
        }
        value = args[++i];
      }
      parsed.options.emplace_back(name, value);
    } else if (listed(flags, name) && !inline_value) {
      parsed.options.emplace_back(name, "");
    } else {
      parsed.ok = false;
      parsed.error = "unknown option --" + name;
      return parsed;
    }
  }
  return parsed;
}

namespace {

bool declares(const Arguments& wanted, const char* option) {
  for (const std::string& name : wanted.with_value)
    if (name == option) return true;
  return false;
}

// Settles the page of DIR's names; false (after the usage) for an unknown encoding.
bool settle_names(const Command& command, ParsedArgs& parsed, std::ostream& err) {
  const std::string* given = parsed.value(kEncodingOption);
  const core::EncodingChoice choice = core::parse_encoding(given ? *given : core::kAutoEncoding);
  if (!choice.ok) {
    usage_error(command, err,
                "unknown encoding " + *given + " (one of " + core::encoding_names() + ")");
    return false;
  }
  if (parsed.positional.empty()) return true;
  parsed.names = core::names_code_page(qdb::master_path_in(parsed.positional[0]), choice.page);
  // A KEY that the page can't hold names no entry; it is looked up as given and not found.
  if (declares(command.arguments, kFileNumberOption) && parsed.positional.size() > 1)
    if (qdb::EncodedName key = qdb::encode_name(parsed.positional[1], parsed.names); key.bytes)
      parsed.positional[1] = std::move(*key.bytes);
  return true;
}

}  // namespace

std::optional<std::string> stored_name(const Command& command, const ParsedArgs& parsed,
                                       const std::string& text, std::ostream& err) {
  core::StoredName name = core::stored_name(text, parsed.names);
  if (!name.bytes) err << "dorvane-cli " << command.name << ": " << name.refusal << "\n";
  return std::move(name.bytes);
}

int run_command(const Command& command, const std::vector<std::string>& args, std::ostream& out,
                std::ostream& err) {
  const Arguments& wanted = command.arguments;
  ParsedArgs parsed = parse_args(args, wanted.with_value, wanted.flags);
  if (!parsed.ok) return usage_error(command, err, parsed.error);
  if (wanted.repeats ? parsed.positional.size() < wanted.positional
                     : parsed.positional.size() != wanted.positional)
    return usage_error(command, err);
  if (declares(wanted, kEncodingOption) && !settle_names(command, parsed, err)) return kExitUsage;
  return command.run(parsed, out, err);
}

}  // namespace cli
