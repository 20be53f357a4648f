#include "cli/cli_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "support/temp_dir.h"

namespace testing_support {
namespace {

std::string quote(const std::string& word) {
  std::string q = "'";
  for (char c : word) {
    if (c == '\'')
      q += "'\\''";
    else
      q += c;
  }
  return q + "'";
}

}  // namespace

CliResult run_cli(const std::vector<std::string>& args) {
  TempDir capture;
  const auto out_path = capture.path() / "out";
  const auto err_path = capture.path() / "err";
  std::string command = quote(DORVANE_CLI_PATH);
  for (const auto& a : args) command += " " + quote(a);
  command += " </dev/null >" + quote(out_path.string()) + " 2>" + quote(err_path.string());
  const int status = std::system(command.c_str());
  CliResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = read_bytes(out_path);
  result.err = read_bytes(err_path);
  return result;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace testing_support
