// --json of the read commands, parsed back and compared with the values of their text output,
// on a demo tree whose ACME carries a Latin-1 issue name ("Café Industries").
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/test_master_bytes.h"
#include "support/temp_dir.h"

namespace {

using nlohmann::json;
using testing_support::run_cli;
using testing_support::TempDir;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> fields_of(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

// Runs the command with and without --json: both must agree on the exit code, and the JSON
// must be one document.
struct Both {
  testing_support::CliResult text;
  json document;
};
Both run_both(const std::vector<std::string>& args, int exit_code = 0) {
  Both both;
  both.text = run_cli(args);
  std::vector<std::string> with_json = args;
  with_json.push_back("--json");
  const auto result = run_cli(with_json);
  EXPECT_EQ(both.text.exit_code, exit_code) << both.text.err;
  EXPECT_EQ(result.exit_code, exit_code) << result.err;
  EXPECT_NO_THROW(both.document = json::parse(result.out)) << result.out;
  return both;
}

class JsonCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    ASSERT_EQ(run_cli({"make-demo", s_dir->dir() + "demo"}).exit_code, 0);
    const auto renamed = run_cli({"rename-symbol", stocks(), "ACME", "ACME", "--name",
                                  "Caf\xE9 Industries"});  // Latin-1, as the files hold it
    ASSERT_EQ(renamed.exit_code, 0) << renamed.err;
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  static std::string root() { return s_dir->dir() + "demo"; }
  static std::string stocks() { return root() + "/Stocks"; }
  static TempDir* s_dir;
};
TempDir* JsonCli::s_dir = nullptr;

TEST_F(JsonCli, SymbolsAsInTheTextWithTheNameInUtf8) {
  const Both both = run_both({"symbols", stocks()});
  const auto lines = lines_of(both.text.out);
  const json& symbols = both.document.at("symbols");
  ASSERT_EQ(symbols.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto fields = fields_of(lines[i]);
    EXPECT_EQ(symbols[i].at("file_number").get<int>(), std::stoi(fields[0]));
    EXPECT_EQ(symbols[i].at("symbol"), fields[1]);
    if (fields[1] != "ACME") {
      EXPECT_EQ(symbols[i].at("name"), fields[2]);
    }
  }
  EXPECT_EQ(lines[0], "1\tACME\tCaf\xE9 Industries");
  EXPECT_EQ(symbols[0].at("name"), "Caf\u00E9 Industries");
  EXPECT_EQ(both.document.at("master"), stocks() + "/MASTER");
}

TEST_F(JsonCli, PortfoliosAsInTheText) {
  const Both both = run_both({"portfolios", root()});
  EXPECT_EQ(both.document.at("root"), root());
  EXPECT_EQ(both.document.at("portfolios").get<std::vector<std::string>>(),
            lines_of(both.text.out));
  EXPECT_EQ(both.document.at("portfolios").size(), 3u);
}

TEST_F(JsonCli, CheckOfASoundAndADamagedMaster) {
  const Both sound = run_both({"check", stocks()});
  EXPECT_EQ(sound.text.out, "sound\n");
  EXPECT_EQ(sound.document.at("sound"), true);
  EXPECT_EQ(sound.document.at("problems"), json::array());

  TempDir damaged;
  using testing_support::master_entry;
  testing_support::write_bytes(damaged.path() / "MASTER",
                               testing_support::master_header(3) + master_entry(3, "ONE", "A") +
                                   master_entry(5, "TWO", "B") + master_entry(3, "THREE", "C"));
  const Both both = run_both({"check", damaged.path().string()}, 1);
  auto lines = lines_of(both.text.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(both.document.at("sound"), false);
  EXPECT_EQ(lines[0], both.document.at("master").get<std::string>() + " is damaged:");
  std::vector<std::string> problems;
  for (std::size_t i = 1; i < lines.size(); ++i) problems.push_back(lines[i].substr(2));
  EXPECT_EQ(both.document.at("problems").get<std::vector<std::string>>(), problems);
}

}  // namespace
