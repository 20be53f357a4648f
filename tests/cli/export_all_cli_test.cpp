// dorvane-cli export-all, run as the real binary on a copy of the read fixture portfolio: golden
// files, parity with export for each symbol, the single file, the clash refusal and the words
// it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cli/cli_run.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;

std::map<std::string, std::string> contents(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = read_bytes(entry.path());
  return files;
}

class ExportAllCli : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::copy_tree(testing_support::test_data("read/tree"), m_portfolio);
  }
  TempDir m_temp;
  fs::path m_portfolio = m_temp.path() / "tree";
  fs::path m_out = m_temp.path() / "out" / "";  // created by the command
};

TEST_F(ExportAllCli, GoldenFilesEachEqualToTheSymbolsOwnExport) {
  const auto result =
      run_cli({"export-all", m_portfolio.string(), m_out.string(), "--title", "--newest-first"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");  // no progress line when standard error is no terminal
  const auto files = contents(m_out);
  const fs::path golden = testing_support::test_data("export_all/tree");
  EXPECT_EQ(files, contents(golden));

  // The symbols as export finds them; the blank-symbol row is found by its file number.
  const std::pair<std::string, std::string> symbols[] = {
      {"AAA", "AAA.txt"}, {"IBM", "IBM.txt"}, {"BLANKSYM", "BLANKSYM.txt"}};
  for (const auto& [key, name] : symbols) {
    const auto single = run_cli({"export", m_portfolio.string(), key, "-", "--title",
                                 "--newest-first", "--file-number",
                                 key == "BLANKSYM" ? "3"
                                 : key == "IBM"    ? "2"
                                                   : "1"});
    ASSERT_EQ(single.exit_code, 0) << key << single.err;
    EXPECT_EQ(files.at(name), single.out) << key;
  }
}

TEST_F(ExportAllCli, SingleFileGolden) {
  const auto result =
      run_cli({"export-all", m_portfolio.string(), m_out.string(), "--single", "all.csv",
               "--delimiter", "comma", "--title", "--omit", "open,oi", "--date-format", "iso"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(contents(m_out).size(), 1u);
  EXPECT_EQ(read_bytes(m_out / "all.csv"),
            read_bytes(testing_support::test_data("export_all/tree_single.csv")));
}

TEST_F(ExportAllCli, ClashesAreListedAndNothingIsWrittenWithoutForce) {
  fs::create_directories(m_out);
  testing_support::write_bytes(m_out / "ibm.TXT", "mine");
  testing_support::write_bytes(m_out / "AAA.txt", "mine too");
  const auto before = contents(m_out);
  const auto refused = run_cli({"export-all", m_portfolio.string(), m_out.string()});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err,
            "AAA.txt\nibm.TXT\nThese files already exist\n(give --force to replace them)\n");
  EXPECT_EQ(contents(m_out), before);

  const auto forced = run_cli({"export-all", m_portfolio.string(), m_out.string(), "--force"});
  ASSERT_EQ(forced.exit_code, 0) << forced.err;
  const auto after = contents(m_out);
  EXPECT_EQ(after.size(), 3u);  // the file named in another case is replaced under its name
  EXPECT_EQ(after.at("ibm.TXT"),
            read_bytes(testing_support::test_data("export_all/ibm_plain.txt")));
}

TEST_F(ExportAllCli, RefusedWordsAndAPortfolioWithoutMaster) {
  struct Case {
    std::vector<std::string> extra;
    int exit_code;
  };
  const Case cases[] = {{{"--delimiter", "semicolon"}, 2},
                        {{"--omit", "date"}, 2},
                        {{"--date-format", "dmy"}, 2},
                        {{"--single", ""}, 2},
                        {{"--file-number", "1"}, 2}};
  for (const Case& c : cases) {
    std::vector<std::string> args = {"export-all", m_portfolio.string(), m_out.string()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const auto result = run_cli(args);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.extra[0];
    EXPECT_NE(result.err.find("usage: dorvane-cli export-all"), std::string::npos) << c.extra[0];
  }
  EXPECT_FALSE(fs::exists(m_out));
  const auto missing = run_cli({"export-all", (m_temp.path() / "none").string(), m_out.string()});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("cannot be read"), std::string::npos) << missing.err;
  EXPECT_FALSE(fs::exists(m_out));
}

TEST_F(ExportAllCli, ADamagedSymbolIsNamedAndTheRestWritten) {
  fs::remove(m_portfolio / "F3.DAT");
  const auto result = run_cli({"export-all", m_portfolio.string(), m_out.string()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("For symbol BLANKSYM (F3)"), std::string::npos) << result.err;
  const auto files = contents(m_out);
  EXPECT_EQ(files.size(), 2u);
  EXPECT_EQ(files.at("IBM.txt"),
            read_bytes(testing_support::test_data("export_all/ibm_plain.txt")));
}

}  // namespace
