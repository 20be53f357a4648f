// The read commands of dorvane-cli (symbols, quotes, export, facts, make-demo), run as the real
// binary on temporary copies of the demo tree and of the two real portfolios.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/cli_run.h"
#include "support/master_bytes.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testing_support::lines_of;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;

std::vector<std::string> split(const std::string& line, char delimiter) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, delimiter)) parts.push_back(part);
  if (!line.empty() && line.back() == delimiter) parts.emplace_back();
  return parts;
}

// MM/DD/YY as a sortable number; two-digit years below 60 are 2000 and later.
int date_key(const std::string& text) {
  const int month = std::stoi(text.substr(0, 2));
  const int day = std::stoi(text.substr(3, 2));
  int year = std::stoi(text.substr(6, 2));
  year += year < 60 ? 2000 : 1900;
  return year * 10000 + month * 100 + day;
}

std::string facts_value(const std::string& facts, const std::string& label) {
  for (const auto& line : lines_of(facts))
    if (line.rfind(label + "\t", 0) == 0) return line.substr(label.size() + 1);
  return "<missing>";
}

// One demo tree for the whole suite, made by the command itself.
class DemoCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    const auto result = run_cli({"make-demo", s_dir->dir() + "demo"});
    ASSERT_EQ(result.exit_code, 0) << result.err;
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_dir = nullptr;
  }
  static std::string stocks() { return s_dir->dir() + "demo/Stocks"; }
  static std::string futures() { return s_dir->dir() + "demo/Futures"; }
  static TempDir* s_dir;
};
TempDir* DemoCli::s_dir = nullptr;

TEST_F(DemoCli, SymbolsListsEntriesInFileOrder) {
  const auto result = run_cli({"symbols", stocks()});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto lines = lines_of(result.out);
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[0], "1\tACME\tAcme Industries");
  EXPECT_EQ(lines[1], "2\tBKR\tBirk Holdings A");  // the symbol BKR A is shown cut at its blank
  EXPECT_EQ(lines[14], "15\tTECH\tTECH       <DIR>");
}

// The demo passes the MASTER checks every load runs, and its split shows in the search.
TEST_F(DemoCli, DemoPortfoliosAreSoundAndShowTheirSplit) {
  for (const std::string& dir : {stocks(), stocks() + "/TECH", futures()}) {
    const auto check = run_cli({"check", dir});
    EXPECT_EQ(check.exit_code, 0) << dir << ": " << check.out << check.err;
  }
  const auto search = run_cli({"split-search", stocks()});
  EXPECT_NE(search.out.find("HRBR possible 2 for 1 split on 06/14/99"), std::string::npos)
      << search.out << search.err;
  // The TECH sub-portfolio's row is passed over without a word; its quotes are refused with
  // where its symbols are listed.
  EXPECT_EQ(search.err.find("TECH"), std::string::npos) << search.err;
  const auto quotes = run_cli({"quotes", stocks(), "TECH"});
  EXPECT_EQ(quotes.exit_code, 1);
  EXPECT_NE(quotes.err.find("TECH is a sub-portfolio, not a symbol: its symbols are listed in " +
                            stocks() + "/TECH/MASTER"),
            std::string::npos)
      << quotes.err;
}

TEST_F(DemoCli, QuotesAreNewestFirstAndMatchTheQuoteCount) {
  const auto facts = run_cli({"facts", stocks(), "acme"});
  ASSERT_EQ(facts.exit_code, 0) << facts.err;
  const auto result = run_cli({"quotes", stocks(), "acme"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto lines = lines_of(result.out);
  ASSERT_EQ(std::to_string(lines.size()), facts_value(facts.out, "Number of quotes"));
  ASSERT_GT(lines.size(), 800u);  // more than two windows
  const auto first = split(lines.front(), '\t');
  ASSERT_EQ(first.size(), 7u);
  EXPECT_EQ(first[0], "12/31/03");
  EXPECT_EQ(first[6], "N/A");  // 24-byte records hold no open interest
  EXPECT_EQ(split(lines.back(), '\t')[0], "01/02/97");
  for (std::size_t i = 1; i < lines.size(); ++i)
    ASSERT_GT(date_key(lines[i - 1]), date_key(lines[i])) << "line " << i;
}

TEST_F(DemoCli, QuotesFindSymbolsInTheSubPortfolioAndByIssueName) {
  const auto by_symbol = run_cli({"quotes", stocks(), "QNTM"});
  ASSERT_EQ(by_symbol.exit_code, 0) << by_symbol.err;
  const auto by_name = run_cli({"quotes", stocks(), "quantum circuits"});
  EXPECT_EQ(by_name.out, by_symbol.out);
  const auto blank = run_cli({"quotes", stocks(), "BKR A"});
  EXPECT_EQ(blank.exit_code, 0);
  EXPECT_FALSE(blank.out.empty());
}

TEST_F(DemoCli, FactsShowTheRecordAndTheDopFormats) {
  const auto result = run_cli({"facts", futures(), "us"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "Path:\t" + futures() +
                            "\n"
                            "File number\t3\n"
                            "DAT file record length\t28\n"
                            "DAT file number of fields\t7\n"
                            "Number of quotes\t1293\n"
                            "Name of issue\tTreasury Bonds  \n"
                            "First date in file*\t 980102\n"
                            "Last date in file*\t1021231\n"
                            "Data format\tD Daily\n"
                            "Symbol\tUS              \n"
                            "Date\tWhole Num.\tWhole Num.\n"
                            "Time\t\t\n"
                            "Open\t32nds\t32nds\n"
                            "High\t32nds\t32nds\n"
                            "Low\t32nds\t32nds\n"
                            "Close\t32nds\t32nds\n"
                            "Vol\t100s\t100s\n"
                            "OI\tWhole Num.\tWhole Num.\n"
                            "First quote\t01/02/98\n"
                            "Last quote\t12/31/02\n");
}

TEST_F(DemoCli, ExportWritesTheFileAndRefusesToReplaceItWithoutForce) {
  const std::string file = s_dir->dir() + "acme.txt";
  auto result = run_cli({"export", stocks(), "ACME", file, "--title", "--delimiter", "comma"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const std::string written = read_bytes(file);
  ASSERT_EQ(written.rfind("DATE,OPEN,HIGH,LOW,CLOSE,VOL,OI\r\n01/02/97,", 0), 0u);
  ASSERT_EQ(written.substr(written.size() - 2), "\r\n");

  // Standard output receives the same bytes.
  const auto to_stdout = run_cli({"export", stocks(), "ACME", "-", "--title", "--delimiter=comma"});
  EXPECT_EQ(to_stdout.exit_code, 0);
  EXPECT_EQ(to_stdout.out, written);

  result = run_cli({"export", stocks(), "ACME", file, "--newest-first"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("This file already exists"), std::string::npos);
  EXPECT_EQ(read_bytes(file), written);

  result = run_cli({"export", stocks(), "ACME", file, "--newest-first", "--force", "--omit",
                    "open,high,low,close,volume,oi"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  const auto lines = lines_of(read_bytes(file));
  EXPECT_EQ(lines.front(), "12/31/03\r");
  EXPECT_EQ(lines.back(), "01/02/97\r");
  EXPECT_EQ(lines.size(), lines_of(run_cli({"quotes", stocks(), "ACME"}).out).size());
}

// Failures exit 1 with the system's message; bad arguments exit 2; neither writes a file.
TEST_F(DemoCli, FailuresAndUsageErrorsExitOneAndTwo) {
  const std::string file = s_dir->dir() + "never.txt";
  const struct {
    std::vector<std::string> args;
    int exit_code;
    const char* err;
  } cases[] = {
      {{"make-demo", s_dir->dir() + "demo"}, 1, "already exists"},
      {{"quotes", stocks(), "NOPE"}, 1, "Error in FillQuotesGrid"},
      {{"facts", stocks(), "NOPE"}, 1, ""},
      {{"export", stocks(), "NOPE", file}, 1, "file export error"},
      {{"export", stocks(), "ACME", file, "--delimiter", "semicolon"}, 2, "usage"},
      {{"export", stocks(), "ACME", file, "--omit", "open,date"}, 2, "usage"},
      {{"export", stocks(), "ACME", file, "--sideways"}, 2, "usage"},
      {{"symbols", "a", "b"}, 2, "usage"},
      {{"facts", "a", "b", "--verbose"}, 2, "usage"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const auto result = run_cli(c.args);
    EXPECT_EQ(result.exit_code, c.exit_code);
    EXPECT_TRUE(result.out.empty());
    EXPECT_FALSE(result.err.empty());
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(file));
}

TEST(ReadCommands, HelpAndUsage) {
  for (const std::string command : {"symbols", "quotes", "export", "facts", "make-demo"}) {
    const auto help = run_cli({command, "--help"});
    EXPECT_EQ(help.exit_code, 0) << command;
    EXPECT_EQ(help.out.rfind("usage: dorvane-cli " + command, 0), 0u) << command;
    const auto usage = run_cli({command});
    EXPECT_EQ(usage.exit_code, 2) << command;
    EXPECT_NE(usage.err.find("usage: dorvane-cli " + command), std::string::npos) << command;
  }
}

TEST(ReadCommands, SymbolsOfAMissingOrDamagedMaster) {
  TempDir dir;
  const auto missing = run_cli({"symbols", dir.dir() + "nothing"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_NE(missing.err.find("Failure while filling symbols grid"), std::string::npos);

  // A header that counts 256 entries: the first 255 are listed, with the warning.
  std::string entries;
  for (int i = 0; i < 256; ++i)
    entries += testing_support::master_entry(i, "N", "S" + std::to_string(i));
  testing_support::write_bytes(dir.path() / "MASTER",
                               testing_support::master_header(256) + entries);
  const auto many = run_cli({"symbols", dir.dir()});
  EXPECT_EQ(many.exit_code, 0);
  EXPECT_EQ(lines_of(many.out).size(), 255u);
  EXPECT_NE(many.err.find("File has 256 symbols.\nWill only display the first 255 symbols"),
            std::string::npos);

  // A header that counts more entries than the file holds.
  testing_support::write_bytes(dir.path() / "MASTER",
                               testing_support::master_header(261) + entries.substr(0, 53 * 10));
  const auto short_file = run_cli({"symbols", dir.dir()});
  EXPECT_EQ(short_file.exit_code, 1);
  EXPECT_NE(short_file.err.find("Failure while filling symbols grid"), std::string::npos);
}

class RealPortfolioCli : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
    SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
    m_copy = testing_support::copy_tree(testing_support::real_portfolio(""), m_dir.path() / "real")
                 .string();
  }
  std::string portfolio(const std::string& name) const { return m_copy + "/" + name; }
  TempDir m_dir;
  std::string m_copy;
};

TEST_F(RealPortfolioCli, HangSengListsReadsAndExports) {
  const std::string dir = portfolio("hangseng-mini");
  const auto symbols = run_cli({"symbols", dir});
  ASSERT_EQ(symbols.exit_code, 0) << symbols.err;
  const auto rows = lines_of(symbols.out);
  // 255 in the MASTER, then the 11 of the XMASTER, whose quotes are in F256.MWD to F266.MWD.
  ASSERT_EQ(rows.size(), 266u);
  EXPECT_EQ(rows[0], "1\tHSM__2000V\tHang Seng Mini 2");
  EXPECT_EQ(rows[255], "256\tHSM__2021X\tHang Seng Mini 2");
  EXPECT_EQ(symbols.out.find('\0'), std::string::npos);
  // Each process start costs time: every tenth MASTER symbol, and every XMASTER symbol.
  std::vector<std::size_t> sample;
  for (std::size_t r = 0; r < 255; r += 10) sample.push_back(r);
  for (std::size_t r = 255; r < rows.size(); ++r) sample.push_back(r);
  for (std::size_t r : sample) {
    const auto fields = split(rows[r], '\t');
    ASSERT_EQ(fields.size(), 3u) << rows[r];
    const auto quotes = run_cli({"quotes", dir, fields[1]});
    ASSERT_EQ(quotes.exit_code, 0) << fields[1] << ": " << quotes.err;
    const auto lines = lines_of(quotes.out);
    ASSERT_FALSE(lines.empty()) << fields[1];
    for (std::size_t i = 1; i < lines.size(); ++i)
      ASSERT_GE(date_key(lines[i - 1]), date_key(lines[i])) << fields[1] << " line " << i;
  }

  const auto facts = run_cli({"facts", dir, "HSM__2000V"});
  ASSERT_EQ(facts.exit_code, 0) << facts.err;
  EXPECT_EQ(facts_value(facts.out, "DAT file record length"), "28");
  EXPECT_EQ(facts_value(facts.out, "Symbol"), "HSM__2000V");  // shown up to its zero byte
  EXPECT_EQ(facts_value(facts.out, "OI"), "Whole Num.\tWhole Num.");
  // The long names of EMASTER and XMASTER, where the MASTER's 16 characters cut them.
  EXPECT_EQ(facts_value(facts.out, "Long name of issue"), "Hang Seng Mini 200010");
  const auto extended = run_cli({"facts", dir, "hsm__2022m"});
  EXPECT_EQ(facts_value(extended.out, "File number"), "257");
  EXPECT_EQ(facts_value(extended.out, "Long name of issue"), "Hang Seng Mini 202206");
  EXPECT_EQ(facts_value(extended.out, "First date in file*"), "1211029");
  const auto exported = run_cli({"export", dir, "HSM__2000V", "-"});
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  const auto lines = lines_of(exported.out);
  EXPECT_EQ(std::to_string(lines.size()), facts_value(facts.out, "Number of quotes"));
  EXPECT_EQ(split(lines[0], ' ').size(), 7u);
}

// A data file cut short of what its header claims: only the quotes actually there are shown.
TEST_F(RealPortfolioCli, TruncatedDataFileShowsOnlyTheQuotesThere) {
  const fs::path data = fs::path(portfolio("hangseng-mini")) / "F1.dat";
  const std::string full = read_bytes(data);
  ASSERT_EQ(full.size(), 28u * 17);  // 16 quotes
  const auto all = lines_of(run_cli({"quotes", portfolio("hangseng-mini"), "HSM__2000V"}).out);
  ASSERT_EQ(all.size(), 16u);
  testing_support::write_bytes(data, full.substr(0, 28 * 11 + 9));  // 10 quotes and a piece

  const auto quotes = run_cli({"quotes", portfolio("hangseng-mini"), "HSM__2000V"});
  EXPECT_EQ(quotes.exit_code, 0) << quotes.err;
  const std::vector<std::string> expected(all.end() - 10, all.end());
  EXPECT_EQ(lines_of(quotes.out), expected);

  const auto oldest = run_cli({"export", portfolio("hangseng-mini"), "HSM__2000V", "-"});
  EXPECT_EQ(lines_of(oldest.out).size(), 10u);
  // Newest first begins with quote 15, which is not in the file: the export ends at once.
  const auto newest =
      run_cli({"export", portfolio("hangseng-mini"), "HSM__2000V", "-", "--newest-first"});
  EXPECT_EQ(newest.exit_code, 0);
  EXPECT_EQ(newest.out, "");
}

TEST_F(RealPortfolioCli, MiningePortfolioReadsThroughItsDopFiles) {
  const auto symbols = run_cli({"symbols", portfolio("mininge")});
  ASSERT_EQ(symbols.exit_code, 0) << symbols.err;
  const auto rows = lines_of(symbols.out);
  ASSERT_EQ(rows.size(), 25u);  // the header's count; the 26th slot is all zeros
  // Blank symbols: column 0 shows the issue name, trailing blanks included.
  EXPECT_EQ(rows[0], "1\tAPX             \tAPX");

  const auto facts = run_cli({"facts", portfolio("mininge"), "APX"});
  ASSERT_EQ(facts.exit_code, 0) << facts.err;
  EXPECT_EQ(facts_value(facts.out, "Vol"), "1,000s\t1,000s");
  EXPECT_EQ(facts_value(facts.out, "Close"), "100ths\t100ths");
  EXPECT_EQ(facts_value(facts.out, "OI"), "\t");

  const auto quotes = run_cli({"quotes", portfolio("mininge"), "apx"});
  ASSERT_EQ(quotes.exit_code, 0) << quotes.err;
  EXPECT_EQ(std::to_string(lines_of(quotes.out).size()),
            facts_value(facts.out, "Number of quotes"));

  const std::string file = m_dir.dir() + "apx.txt";
  const auto exported =
      run_cli({"export", portfolio("mininge"), "APX", file, "--delimiter", "tab", "--title"});
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  const auto lines = lines_of(read_bytes(file));
  EXPECT_EQ(lines[0], "DATE\tOPEN\tHIGH\tLOW\tCLOSE\tVOL\tOI\r");
  EXPECT_EQ(lines.size(), lines_of(quotes.out).size() + 1);
}

}  // namespace
