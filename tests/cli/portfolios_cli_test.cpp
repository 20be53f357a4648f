#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/cli_run.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::run_cli;

namespace {

TEST(PortfoliosCommand, ListsFoundDirectoriesSortedAndHonoursFilter) {
  testing_support::TempDir dir;
  for (const char* p : {"z", "a", "a/b", "other"}) {
    fs::create_directories(dir.path() / p);
    std::ofstream(dir.path() / p / "MASTER") << "x";
  }
  const std::string root = dir.path().string();
  auto result = run_cli({"portfolios", root});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, root + "/a\n" + root + "/a/b\n" + root + "/other\n" + root + "/z\n");

  result = run_cli({"portfolios", root, "--filter", root + "/A"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, root + "/a\n" + root + "/a/b\n");

  EXPECT_EQ(run_cli({"portfolios"}).exit_code, 2);
  EXPECT_EQ(run_cli({"portfolios", root + "/missing"}).exit_code, 1);
}

TEST(PortfoliosCommand, FindsBothRealPortfolios) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  testing_support::TempDir dir;
  const auto copy =
      testing_support::copy_tree(testing_support::real_portfolio(""), dir.path() / "real");
  const auto result = run_cli({"portfolios", copy.string()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, copy.string() + "/hangseng-mini\n" + copy.string() + "/mininge\n");
}

}  // namespace
