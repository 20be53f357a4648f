// Runs the real dorvane-cli binary and captures its output.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs DORVANE_CLI_PATH with args (each passed as one word), stdout and stderr captured.
CliResult run_cli(const std::vector<std::string>& args);

// The lines of a command's output, without their line ends.
std::vector<std::string> lines_of(const std::string& text);

}  // namespace testing_support
