// dorvane-cli new-portfolio and import, run as the real binary on temporary portfolios: the
// round trip through export for every date form, and the refusals that leave every file as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "qdb/dates.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::write_bytes;

namespace {

class ImportCli : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return (m_temp.path() / name).string(); }
  std::map<std::string, std::string> files(const std::string& dir) const {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(path(dir)))
      if (entry.is_regular_file()) all[entry.path().string()] = read_bytes(entry.path());
    return all;
  }

  testing_support::TempDir m_temp;
};

TEST_F(ImportCli, NewPortfolioHoldsAnEmptyMasterAndEmasterAndIsMadeOnce) {
  const auto made = run_cli({"new-portfolio", path("a/b")});
  ASSERT_EQ(made.exit_code, 0) << made.err;
  EXPECT_EQ(read_bytes(path("a/b/MASTER")), std::string(53, '\0'));
  EXPECT_EQ(read_bytes(path("a/b/EMASTER")), std::string(192, '\0'));
  const auto again = run_cli({"new-portfolio", path("a/b")});
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_EQ(again.err, path("a/b") + ": already holds a MASTER\n");
  // A MASTER in another case counts too.
  fs::create_directories(path("c"));
  write_bytes(path("c/master"), std::string(53, '\0'));
  EXPECT_EQ(run_cli({"new-portfolio", path("c")}).exit_code, 1);
  EXPECT_FALSE(fs::exists(path("c/EMASTER")));
}

// export, import into a new portfolio, export again: the same text, for every date form and
// delimiter, daily and intraday.
TEST_F(ImportCli, RoundTripThroughExportForEveryDateForm) {
  std::vector<qdb::QuoteBar> bars;
  const qdb::DateSerial dates[] = {qdb::date_serial(1961, 3, 14), qdb::date_serial(1999, 12, 31),
                                   qdb::date_serial(2000, 1, 3), qdb::date_serial(2024, 2, 29)};
  for (int i = 0; i < 4; ++i) {
    const float base = 10.125f + static_cast<float>(i) * 3.3333f;
    bars.push_back({dates[i], 0, base, base + 1.33333f, base - 0.5f, base + 0.25f,
                    1000.0f + static_cast<float>(i), 70.0f + static_cast<float>(i)});
  }
  testing_support::make_portfolio(path("src"), {{1, "RT", "ROUND TRIP", bars, 28, false}});
  int round = 0;
  for (const char* form : {"mdy2", "mdy4", "iso", "ymd"}) {
    for (const char* delimiter : {"space", "comma", "tab"}) {
      SCOPED_TRACE(std::string(form) + " " + delimiter);
      const std::string dest = path("rt" + std::to_string(round++));
      const auto first = run_cli({"export", path("src"), "RT", path("first.txt"), "--title",
                                  "--date-format", form, "--delimiter", delimiter, "--force"});
      ASSERT_EQ(first.exit_code, 0) << first.err;
      ASSERT_EQ(run_cli({"new-portfolio", dest}).exit_code, 0);
      const auto imported = run_cli({"import", dest, path("first.txt"), "--symbol", "RT"});
      ASSERT_EQ(imported.exit_code, 0) << imported.err;
      EXPECT_EQ(imported.out, "RT: 4 added, 0 replaced, 0 kept (new, file 1 in " + dest + "/)\n");
      const auto second = run_cli({"export", dest, "RT", path("second.txt"), "--title",
                                   "--date-format", form, "--delimiter", delimiter, "--force"});
      ASSERT_EQ(second.exit_code, 0) << second.err;
      EXPECT_EQ(read_bytes(path("second.txt")), read_bytes(path("first.txt")));
    }
  }
  // Intraday: a TIME column comes back as it went.
  write_bytes(path("bars.csv"),
              "Date,Time,Open,High,Low,Close,Volume\n2011-05-02,09:30:00,1,2,0.5,1.5,10\n"
              "2011-05-02,16:00:00,1.5,2.5,1,2,20\n2011-05-03,09:30:00,2,3,1.5,2.5,30\n");
  ASSERT_EQ(run_cli({"new-portfolio", path("i1")}).exit_code, 0);
  ASSERT_EQ(run_cli({"import", path("i1"), path("bars.csv"), "--symbol", "ES"}).exit_code, 0);
  ASSERT_EQ(run_cli({"export", path("i1"), "ES", path("first.txt"), "--title", "--time",
                     "--date-format", "iso", "--force"})
                .exit_code,
            0);
  ASSERT_EQ(run_cli({"new-portfolio", path("i2")}).exit_code, 0);
  ASSERT_EQ(run_cli({"import", path("i2"), path("first.txt"), "--symbol", "ES"}).exit_code, 0);
  ASSERT_EQ(run_cli({"export", path("i2"), "ES", path("second.txt"), "--title", "--time",
                     "--date-format", "iso", "--force"})
                .exit_code,
            0);
  EXPECT_EQ(read_bytes(path("second.txt")), read_bytes(path("first.txt")));
}

// A bad line in the second file: exit 1, the place named, nothing written anywhere; the dry
// run and --json report without writing.
TEST_F(ImportCli, ABadLineRefusesTheWholeImportAndDryRunWritesNothing) {
  ASSERT_EQ(run_cli({"new-portfolio", path("p")}).exit_code, 0);
  write_bytes(path("AAA.csv"), "Date,Close\n2024-01-02,1\n");
  write_bytes(path("BBB.csv"), "Date,Close\n2024-01-02,1\n2024-01-03,oops\n");
  const auto before = files("p");
  const auto refused = run_cli({"import", path("p"), path("AAA.csv"), path("BBB.csv")});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err, path("BBB.csv") + ":3:2: \"oops\" is not a number\n");
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(files("p"), before);

  const auto dry = run_cli({"import", path("p"), path("AAA.csv"), "--dry-run", "--json"});
  ASSERT_EQ(dry.exit_code, 0) << dry.err;
  EXPECT_NE(dry.out.find("\"added\": 1"), std::string::npos) << dry.out;
  EXPECT_NE(dry.out.find("\"date_form\": \"iso\""), std::string::npos) << dry.out;
  EXPECT_EQ(files("p"), before);

  const auto usage = run_cli({"import", path("p")});
  EXPECT_EQ(usage.exit_code, 2);
  EXPECT_EQ(run_cli({"import", path("p"), path("AAA.csv"), "--date-format", "xyz"}).exit_code, 2);
  // A directory that holds no portfolio is refused, not made.
  EXPECT_EQ(run_cli({"import", path("none"), path("AAA.csv")}).exit_code, 1);
  EXPECT_FALSE(fs::exists(path("none")));
}

}  // namespace
