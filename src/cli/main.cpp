// dorvane-cli: Dorvane's portfolio operations for scripts.
#include <iostream>
#include <string>
#include <vector>

#include "cli/bash_completion.h"
#include "cli/command.h"
#include "cli/man_page.h"
#include "core/version.h"

namespace {

void print_overview(std::ostream& out) {
  // Built whole and written at once: standard error is unbuffered, and a write per piece made
  // the overview cost a hundred system calls.
  std::string text =
      "usage: dorvane-cli COMMAND [ARGS...]\n\n"
      "Reads, edits and repairs MetaStock / CompuTrac portfolios.\n\n"
      "Commands:\n";
  for (const auto& command : cli::commands())
    text.append("  ").append(command.usage).append("\n      ").append(command.summary) += "\n";
  text += "\nEach command answers --help. dorvane-cli --version shows the version.\n";
  out << text;
}

// Every command's output is checked once here: data written to a full disk or a closed pipe is
// a failure of the command, not a success with a short file. A command that failed already
// has said why (some say that their output failed) and keeps its code.
int with_output_checked(int code, const std::string& who) {
  std::cout.flush();
  if (std::cout || code != cli::kExitOk) return code;
  std::cerr << "dorvane-cli" << who << ": the output could not be written\n";
  return cli::kExitFailure;
}

int run(const std::vector<std::string>& words) {
  if (words.empty()) {
    print_overview(std::cerr);
    return cli::kExitUsage;
  }
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    print_overview(std::cout);
    return cli::kExitOk;
  }
  if (words[0] == "--version") {
    std::cout << "dorvane-cli " << core::kVersion << "\n";
    return cli::kExitOk;
  }
  // Not in the overview: the build makes the installed manual page and completion with these.
  if (words[0] == "--man") {
    cli::write_man_page(std::cout);
    return cli::kExitOk;
  }
  if (words[0] == "--bash-completion") {
    cli::write_bash_completion(std::cout);
    return cli::kExitOk;
  }
  for (const auto& command : cli::commands()) {
    if (words[0] != command.name) continue;
    std::vector<std::string> args(words.begin() + 1, words.end());
    for (const auto& a : args) {
      if (a == "--help" || a == "-h") {
        std::cout << "usage: dorvane-cli " << command.usage << "\n" << command.summary << "\n";
        return cli::kExitOk;
      }
    }
    return with_output_checked(cli::run_command(command, args, std::cout, std::cerr),
                               std::string(" ") + command.name);
  }
  std::cerr << "dorvane-cli: unknown command '" << words[0] << "'\n\n";
  print_overview(std::cerr);
  return cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  return with_output_checked(run(words), "");
}
