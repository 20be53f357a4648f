// The version, the generated manual page and the generated completion script of dorvane-cli
// against the command table as --help prints it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/version.h"

namespace {

using testing_support::run_cli;

// The usage lines of the overview: "  symbols DIR" (the summaries are indented further).
std::vector<std::string> overview_usages() {
  std::vector<std::string> usages;
  std::istringstream in(run_cli({"--help"}).out);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("  ", 0) == 0 && line[2] != ' ') usages.push_back(line.substr(2));
  return usages;
}

// A word as the page sets it: minus signs escaped.
std::string in_roff(const std::string& word) {
  std::string result;
  for (const char c : word) result += c == '-' ? std::string("\\-") : std::string(1, c);
  return result;
}

TEST(GeneratedDocs, VersionOfTheProject) {
  const auto result = run_cli({"--version"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, std::string("dorvane-cli ") + core::kVersion + "\n");
}

// Every command of the overview, each of its options, and the exit codes are on the page; the
// hidden options that write the page and the script are not in the overview.
TEST(GeneratedDocs, ManPageHasEveryCommandAndOption) {
  const auto usages = overview_usages();
  ASSERT_GE(usages.size(), 18u);
  const auto page = run_cli({"--man"});
  ASSERT_EQ(page.exit_code, 0);
  EXPECT_EQ(page.out.rfind(".TH DORVANE\\-CLI 1 ", 0), 0u);
  EXPECT_NE(page.out.find(std::string("\"Dorvane ") + core::kVersion + "\""), std::string::npos);
  for (const std::string& usage : usages) {
    std::istringstream words(usage);
    std::string name;
    words >> name;
    EXPECT_NE(page.out.find("\n.SS " + in_roff(name) + "\n"), std::string::npos) << name;
    for (std::string word; words >> word;) {
      const auto option = word.find("--");
      if (option == std::string::npos) continue;
      std::string flag = word.substr(option);
      if (flag.back() == ']') flag.pop_back();
      EXPECT_NE(page.out.find("\\fB" + in_roff(flag) + "\\fR"), std::string::npos) << flag;
    }
  }
  for (const char* section : {".SH EXIT STATUS", ".SH EXAMPLES", ".SH SEE ALSO"})
    EXPECT_NE(page.out.find(section), std::string::npos) << section;
  const std::string overview = run_cli({"--help"}).out;
  EXPECT_EQ(overview.find("--man"), std::string::npos);
  EXPECT_EQ(overview.find("--bash-completion"), std::string::npos);
}

}  // namespace
