// Import of delimited text: a table of small inputs and what the portfolio must hold afterwards,
// read back through the library's reader; the merge into existing symbols; the limits; and a
// failure at any step of the write leaving every file as it was.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/import.h"
#include "core/index_agreement.h"
#include "qdb/dat.h"
#include "qdb/master.h"
#include "qdb/series.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;

namespace {

// A bar as text: "YYYY-MM-DD[ HH:MM:SS] open high low close volume oi" (%g, -1 when absent).
std::string bar_text(const qdb::QuoteBar& bar, bool time) {
  int y = 0, m = 0, d = 0;
  qdb::split_date(bar.date, y, m, d);
  char text[160];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y + 1900, m, d);
  std::string out = text;
  if (time) out += " " + qdb::format_seconds_string(qdb::bar_seconds(bar));
  std::snprintf(text, sizeof text, " %g %g %g %g %g %g", bar.open, bar.high, bar.low, bar.close,
                bar.volume, bar.oi);
  return out + text;
}

// Every quote of symbol in dir, with the record length of its entry first ("L28").
std::vector<std::string> read_back(const std::string& dir, const std::string& symbol) {
  qdb::QuoteSeries series;
  qdb::series_alloc(series, 2000);
  std::vector<std::string> rows;
  if (qdb::read_series(series, dir, symbol, 0, -1) != qdb::kSuccess) return {"unreadable"};
  rows.push_back("L" + std::to_string(series.info->master.record_length()) + " " +
                 series.info->master.periodicity());
  const bool time = series.info->column_map[qdb::kTime] > 0;
  for (int i = 0; i < series.count; ++i) rows.push_back(bar_text(series.bar(i), time));
  return rows;
}

struct Case {
  const char* name;
  const char* file;  // its stem is the default symbol
  const char* text;
  const char* columns;    // --columns, or ""
  const char* date_form;  // --date-format, or ""
  // symbol -> its rows as read back; or the error's text.
  std::map<std::string, std::vector<std::string>> portfolio;
  const char* error = "";
};

core::ImportOptions options_of(const Case& c) {
  core::ImportOptions options;
  std::string list = c.columns;
  for (std::size_t at = 0; !list.empty();) {
    const std::size_t comma = list.find(',', at);
    core::ImportColumn column{};
    EXPECT_TRUE(core::parse_import_column(list.substr(at, comma - at), column));
    options.columns.push_back(column);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  if (*c.date_form != '\0') {
    EXPECT_TRUE(core::parse_import_date_form(c.date_form, options.date_form));
  }
  return options;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> table = {
      {"plain header after a byte order mark, comma, ISO, newest first, Adj Close ignored",
       "AAPL.csv",
       "\xEF\xBB\xBF"
       "Date,Open,High,Low,Close,Adj Close,Volume\n2024-01-03,10.5,11,10,10.75,9,1000\n"
       "2024-01-02,10,10.8,9.9,10.5,9,900\n",
       "",
       "",
       {{"AAPL",
         {"L24 D", "2024-01-02 10 10.8 9.9 10.5 900 -1", "2024-01-03 10.5 11 10 10.75 1000 -1"}}}},
      {"<> header, semicolon, decimal comma, tickers, YYYYMMDD, HHMMSS and HMMSS times",
       "x.txt",
       "<TICKER>;<PER>;<DTYYYYMMDD>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>;<VOL>\n"
       "IBM;5;20240102;100000;1,5;2,5;1,25;2,75;100\n"
       "IBM;5;20240102;93000;1,5;2,5;1,25;2;100\n"
       "MSFT;5;20240102;093000;3;4;2;3,5;7\n",
       "",
       "",
       {{"IBM",
         {"L32 I", "2024-01-02 09:30:00 1.5 2.5 1.25 2 100 0",
          "2024-01-02 10:00:00 1.5 2.5 1.25 2.75 100 0"}},
        {"MSFT", {"L32 I", "2024-01-02 09:30:00 3 4 2 3.5 7 0"}}}},
      {"[] header, semicolon, decimal comma, DD.MM.YYYY, close only",
       "BAYN.csv",
       "[Date];[Close]\n02.01.2024;40,5\n03.01.2024;41,25\n",
       "",
       "",
       {{"BAYN", {"L12 D", "2024-01-02 -1 -1 -1 40.5 0 -1", "2024-01-03 -1 -1 -1 41.25 0 -1"}}}},
      {"quoted header, tab, MM/DD/YYYY told by a day past 12, high low close",
       "T.tsv",
       "\"Date\"\t\"High\"\t\"Low\"\t\"Close\"\n01/02/2024\t2\t1\t1.5\n01/13/2024\t3\t2\t2.5\n",
       "",
       "",
       {{"T", {"L16 D", "2024-01-02 -1 2 1 1.5 -1 -1", "2024-01-13 -1 3 2 2.5 -1 -1"}}}},
      {"no header, spaces, YYMMDD (59 is 2059), open interest, unsorted",
       "OLD.txt",
       "  600104 1 2 0.5 1.5 10 3\n591231 1 2 0.5 1.25 10 3\n",
       "date,open,high,low,close,volume,oi",
       "",
       {{"OLD", {"L28 D", "1960-01-04 1 2 0.5 1.5 10 3", "2059-12-31 1 2 0.5 1.25 10 3"}}}},
      {"lower-case header, DD-Mon-YYYY, vol and openint",
       "cl.csv",
       "date,open,high,low,close,vol,openint\n02-Jan-2024,1,2,0.5,1.5,10,3\n"
       "03-JAN-2024,1,2,0.5,1.75,10,4\n",
       "",
       "",
       {{"cl", {"L28 D", "2024-01-02 1 2 0.5 1.5 10 3", "2024-01-03 1 2 0.5 1.75 10 4"}}}},
      {"MM/DD/YY where both fit, the form given",
       "Y.csv",
       "Date,Close\n01/02/24,5\n02/01/24,6\n",
       "",
       "mdy2",
       {{"Y", {"L12 D", "2024-01-02 -1 -1 -1 5 0 -1", "2024-02-01 -1 -1 -1 6 0 -1"}}}},
      {"DD/MM/YYYY told by a day past 12",
       "Z.csv",
       "Date,Close\n13/01/2024,5\n01/02/2024,6\n",
       "",
       "",
       {{"Z", {"L12 D", "2024-01-13 -1 -1 -1 5 0 -1", "2024-02-01 -1 -1 -1 6 0 -1"}}}},
      {"month/day and day/month both fit",
       "A.csv",
       "Date,Close\n01/02/2024,5\n02/03/2024,6\n",
       "",
       "",
       {},
       "A.csv: the dates fit both month/day and day/month: give the date form (mdy4 or dmy4)"},
      {"a date twice",
       "B.csv",
       "Date,Close\n2024-01-02,5\n2024-01-03,6\n2024-01-02,7\n",
       "",
       "",
       {},
       "B.csv:4: B 2024-01-02 is also on line 2"},
      {"a bad number",
       "C.csv",
       "Date,Open,Close\n2024-01-02,5,5\n2024-01-03,x6,6\n",
       "",
       "",
       {},
       "C.csv:3:2: \"x6\" is not a number"},
      {"a short line",
       "D.csv",
       "Date,Open,Close\n2024-01-02,5\n",
       "",
       "",
       {},
       "D.csv:2:3: the line ends before its CLOSE column"},
      {"a year the files can't hold",
       "E.csv",
       "Date,Close\n1850-01-02,5\n",
       "",
       "",
       {},
       "E.csv:2:1: the year 1850 is outside 1900-2099, which the files can't hold"},
      {"no such day",
       "F.csv",
       "Date,Close\n2023-02-29,5\n",
       "",
       "",
       {},
       "F.csv:2:1: no such day: 2023-2-29"},
      {"no header and no columns",
       "G.csv",
       "2024-01-02,5\n",
       "",
       "",
       {},
       "G.csv:1: no header row names the columns; give them (such as "
       "date,open,high,low,close,volume)"},
      {"a series wholly before 1960",
       "H.csv",
       "Date,Close\n1950-01-02,5\n",
       "",
       "",
       {},
       "H: quotes that all lie before 1960 can't be stored (the files would read them as 2000 "
       "on)"},
  };
  return table;
}

class Import : public ::testing::Test {
 protected:
  void SetUp() override {
    core::ImportError error;
    ASSERT_TRUE(core::create_new_portfolio(dir(), error)) << error.text();
  }
  std::string dir() const { return m_temp.dir() + "P"; }
  std::string folder() const { return m_temp.dir() + "P/"; }
  // Parses and writes; the error's text when either fails.
  std::string import(const std::string& text, const std::string& file,
                     const core::ImportOptions& options, core::ImportPlan* plan = nullptr) {
    const core::ImportParse parse = core::parse_import_text(text, file, options);
    if (!parse.ok) return parse.error.text();
    core::ImportResult result = core::write_import(dir(), parse.data, options);
    if (plan != nullptr) *plan = result.plan;
    return result.ok ? std::string() : result.plan.error.text();
  }
  std::map<std::string, std::string> files() const {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(m_temp.path()))
      // Backups are made before anything is staged, so they tell nothing.
      if (entry.is_regular_file() && entry.path().extension() != ".BAK")
        all[entry.path().string()] = read_bytes(entry.path());
    return all;
  }

  testing_support::TempDir m_temp;
};

TEST_F(Import, TableOfInputs) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const auto before = files();
    const std::string error = import(c.text, c.file, options_of(c));
    EXPECT_EQ(error, c.error);
    if (*c.error != '\0') {
      EXPECT_EQ(files(), before);
      continue;
    }
    for (const auto& [symbol, rows] : c.portfolio) EXPECT_EQ(read_back(folder(), symbol), rows);
    EXPECT_TRUE(core::find_index_disagreements(folder() + "MASTER").empty());
  }
}

TEST_F(Import, ExistingSymbolsKeepOrReplaceTheirDaysAndTakeNewOnesInOrder) {
  core::ImportOptions options;
  ASSERT_EQ(import("Date,Close\n2024-01-02,1\n2024-01-04,3\n", "S.csv", options), "");
  core::ImportPlan plan;
  // 01-03 goes between, 01-05 after; 01-04 is kept.
  ASSERT_EQ(
      import("Date,Close\n2024-01-05,5\n2024-01-04,9\n2024-01-03,2\n", "S.csv", options, &plan),
      "");
  ASSERT_EQ(plan.symbols.size(), 1u);
  EXPECT_EQ(plan.symbols[0].added, 2);
  EXPECT_EQ(plan.symbols[0].kept, 1);
  EXPECT_EQ(plan.symbols[0].replaced, 0);
  EXPECT_EQ(
      read_back(folder(), "S"),
      (std::vector<std::string>{"L12 D", "2024-01-02 -1 -1 -1 1 0 -1", "2024-01-03 -1 -1 -1 2 0 -1",
                                "2024-01-04 -1 -1 -1 3 0 -1", "2024-01-05 -1 -1 -1 5 0 -1"}));
  // With replace the day takes the new close; the file's other columns stay.
  options.replace = true;
  ASSERT_EQ(import("Date,Close\n2024-01-04,9\n", "S.csv", options, &plan), "");
  EXPECT_EQ(plan.symbols[0].replaced, 1);
  EXPECT_EQ(read_back(folder(), "S")[3], "2024-01-04 -1 -1 -1 9 0 -1");
  // The MASTER's last date follows the data file.
  qdb::MasterRecord record;
  std::string found;
  ASSERT_EQ(qdb::find_symbol(folder(), "S", record, found), qdb::kSuccess);
  EXPECT_TRUE(core::find_index_disagreements(folder() + "MASTER").empty());
}

TEST_F(Import, ByLetterToSubPortfoliosAndPastTheMastersRoomToTheXmaster) {
  core::ImportOptions options;
  options.by_letter = true;
  core::ImportPlan plan;
  ASSERT_EQ(
      import("Ticker,Date,Close\nAB,2024-01-02,1\nBC,2024-01-02,2\n", "y.csv", options, &plan), "");
  EXPECT_EQ(plan.symbols[0].dir, folder() + "A/");
  EXPECT_TRUE(plan.symbols[0].new_portfolio);
  EXPECT_EQ(read_back(folder() + "A/", "AB").size(), 2u);
  // The lookup walks from the root into the sub-portfolio through its "<DIR>" entry.
  EXPECT_EQ(read_back(folder(), "BC"),
            (std::vector<std::string>{"L12 D", "2024-01-02 -1 -1 -1 2 0 -1"}));
  EXPECT_TRUE(core::find_index_disagreements(folder() + "MASTER").empty());

  // The two "<DIR>" entries hold numbers 1 and 2; 253 symbols fill the MASTER, the rest go on
  // from 256 in the XMASTER.
  std::string text = "Ticker,Date,Close\n";
  for (int s = 0; s < 300; ++s) text += "S" + std::to_string(s) + ",2024-01-02,1\n";
  ASSERT_EQ(import(text, "x.csv", {}, &plan), "");
  EXPECT_EQ(plan.symbols[252].file_number, 255);
  EXPECT_EQ(plan.symbols[253].file_number, 256);
  EXPECT_EQ(read_back(folder(), "S299"),
            (std::vector<std::string>{"L12 D", "2024-01-02 -1 -1 -1 1 0 -1"}));
  EXPECT_TRUE(fs::exists(folder() + "F302.MWD"));
  EXPECT_TRUE(core::find_index_disagreements(folder() + "MASTER").empty());
}

TEST_F(Import, DataTheFilesCantHoldIsRefusedBeforeAnythingIsWritten) {
  std::string text = "Date,Close\n";
  char line[40];
  for (qdb::DateSerial day = qdb::date_serial(1910, 1, 1);
       day < qdb::date_serial(1910, 1, 1) + 65535; ++day) {
    int y = 0, m = 0, d = 0;
    qdb::split_date(day, y, m, d);
    std::snprintf(line, sizeof line, "%04d-%02d-%02d,1\n", y + 1900, m, d);
    text += line;
  }
  const auto before = files();
  EXPECT_EQ(import(text, "BIG.csv", {}), "BIG: 65535 quotes; a data file holds at most 65,534");
  EXPECT_EQ(files(), before);

  // A long parse reports its progress, and stops when its cancel flag is set.
  std::atomic<bool> cancel{false};
  std::uint64_t reported = 0;
  core::ImportControl control;
  control.cancel = &cancel;
  control.progress = [&](std::uint64_t done, std::uint64_t total) {
    EXPECT_LE(done, total);
    reported = done;
  };
  EXPECT_TRUE(core::parse_import_text(text, "BIG.csv", {}, control).ok);
  EXPECT_GT(reported, 0u);
  cancel = true;
  const core::ImportParse cancelled = core::parse_import_text(text, "BIG.csv", {}, control);
  EXPECT_FALSE(cancelled.ok);
  EXPECT_EQ(cancelled.error.message, "cancelled");
}

// One golden case a record layout (tests/data/import, written by make_import_cases.py): the
// data file and the MASTER byte for byte.
TEST_F(Import, GoldenFilesOfEachLayout) {
  int cases = 0;
  for (const auto& folder : fs::directory_iterator(testing_support::test_data("import"))) {
    if (!folder.is_directory()) continue;
    SCOPED_TRACE(folder.path().filename().string());
    ++cases;
    const std::string portfolio = m_temp.dir() + folder.path().filename().string();
    core::ImportError error;
    ASSERT_TRUE(core::create_new_portfolio(portfolio, error)) << error.text();
    std::vector<std::string> inputs;
    for (const auto& file : fs::directory_iterator(folder.path()))
      if (file.path().extension() == ".txt") inputs.push_back(file.path().string());
    const core::ImportParse parse = core::parse_import(inputs, {});
    ASSERT_TRUE(parse.ok) << parse.error.text();
    ASSERT_TRUE(core::write_import(portfolio, parse.data, {}).ok);
    EXPECT_EQ(read_bytes(portfolio + "/F1.DAT"), read_bytes(folder.path() / "F1.DAT"));
    EXPECT_EQ(read_bytes(portfolio + "/MASTER"), read_bytes(folder.path() / "MASTER"));
    EXPECT_TRUE(core::find_index_disagreements(portfolio + "/MASTER").empty());
  }
  EXPECT_EQ(cases, 6);
}

// A failure at any create, write, sync or rename of the write leaves every file as it was and
// no new file behind.
TEST_F(Import, AFailureAtAnyStepChangesNothing) {
  ASSERT_EQ(import("Date,Open,Close\n2024-01-02,1,1\n", "OLD.csv", {}), "");
  const auto before = files();
  core::ImportOptions options;
  const core::ImportParse parse = core::parse_import_text(
      "Ticker,Date,Open,Close\nOLD,2024-01-03,2,2\nNEW,2024-01-03,3,3\nNEX,2024-01-03,3,3\n",
      "x.csv", options);
  ASSERT_TRUE(parse.ok);
  for (const char* kind : {"create", "write", "sync", "rename"}) {
    for (int nth = 1;; ++nth) {
      testing_support::FailingFileSystem failing;
      failing.fail_step(kind, nth, 5);
      bool ok = false;
      {
        testing_support::InstalledFileSystem installed(failing);
        ok = core::write_import(dir(), parse.data, options).ok;
      }
      if (failing.failures() == 0) {
        ASSERT_TRUE(ok) << kind;
        EXPECT_EQ(read_back(folder(), "NEX").size(), 2u);
        break;
      }
      ASSERT_FALSE(ok) << kind << " " << nth;
      EXPECT_EQ(files(), before) << kind << " " << nth;
    }
    // Back to the portfolio as it was for the next kind.
    for (const auto& entry : fs::recursive_directory_iterator(m_temp.path()))
      if (entry.is_regular_file() && !before.count(entry.path().string())) fs::remove(entry.path());
    for (const auto& [path, bytes] : before) testing_support::write_bytes(path, bytes);
  }
}

}  // namespace
