// Export of a whole portfolio: safe and unique file names, parity with the single export, the
// clash refusal, the single file, a symbol that does not read, and runs stopped part-way by the
// user or by a failing step, which must leave the output directory as it was.
#include "core/bulk_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <sstream>

#include "qdb/dates.h"
#include "qdb/file_system.h"
#include "support/failing_batch_sync.h"
#include "support/failing_file_system.h"
#include "support/intraday_portfolio.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using testing_support::read_bytes;
using testing_support::TempDir;

TEST(BulkExportNames, StemsAreSafeOnEveryFileSystem) {
  const std::pair<std::string, std::string> cases[] = {
      {"IBM", "IBM"},
      {"BRK/A", "BRK_A"},
      {"A\\B<C>D:E\"F|G?H*I", "A_B_C_D_E_F_G_H_I"},
      {std::string("A\x01\x7f\xc3\xa9", 5), "A____"},
      {"", "_"},
      {"   ", "_"},
      {".", "_"},
      {"..", "__"},
      {".hidden", "_hidden"},
      {"TRAIL.", "TRAIL_"},
      {"  PADDED  ", "PADDED"},
      {"CON", "CON_"},
      {"nul", "nul_"},
      {"Com1", "Com1_"},
      {"lpt9.x", "lpt9_.x"},
      {"COM10", "COM10"},
      {"CONX", "CONX"},
      {std::string(150, 'A'), std::string(core::kBulkExportStemMax, 'A')},
      {std::string(99, 'A') + ".B", std::string(99, 'A') + "_"},
  };
  for (const auto& [symbol, stem] : cases)
    EXPECT_EQ(core::bulk_export_stem(symbol), stem) << symbol;
}

TEST(BulkExportNames, NamesAreUniqueWithoutRegardToCaseInIndexOrder) {
  const std::vector<std::string> symbols = {"BRK/A", "BRK_A", "brk_a", "BRK_A~2", "CON",
                                            "con",   "X",     "x",     "X~2"};
  const std::vector<std::string> expected = {"BRK_A.txt",     "BRK_A~2.txt", "brk_a~3.txt",
                                             "BRK_A~2~2.txt", "CON_.txt",    "con_~2.txt",
                                             "X.txt",         "x~2.txt",     "X~2~2.txt"};
  EXPECT_EQ(core::bulk_export_file_names(symbols), expected);
}

qdb::QuoteBar bar(int day, float close) {
  qdb::QuoteBar b;
  b.date = qdb::date_serial(2000, 1, day);
  b.open = close - 0.25f;
  b.high = close + 0.5f;
  b.low = close - 0.5f;
  b.close = close;
  b.volume = 1000.0f + static_cast<float>(day);
  b.oi = 7.0f;
  return b;
}

// Names as a directory holds them, with their contents.
std::map<std::string, std::string> contents(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = read_bytes(entry.path());
  return files;
}

class BulkExport : public ::testing::Test {
 protected:
  void SetUp() override {
    // MASTER symbols with unsafe and clashing names, one without a data file, and one XMASTER
    // symbol.
    testing_support::make_portfolio(
        m_portfolio, {{1, "BRK/A", "BERKSHIRE A", {bar(3, 10), bar(4, 11), bar(5, 12)}},
                      {2, "brk_a", "LOWER", {bar(3, 20), bar(4, 21)}},
                      {3, "CON", "DEVICE NAME", {bar(4, 30)}},
                      {4, "LOST", "NO DATA", {bar(3, 40)}},
                      {256, "XSYM", "EXTENDED", {bar(3, 50), bar(5, 51)}}});
    fs::remove(fs::path(m_portfolio) / "F4.DAT");
    fs::create_directories(m_out);
    m_request.out_dir = m_out;
  }

  // What the single export writes for the symbol with file number n.
  std::string single_export(const std::string& symbol, int n,
                            const core::ExportOptions& options) const {
    std::ostringstream out;
    const core::ExportResult result = core::export_quotes(m_portfolio, symbol, options, out, n);
    EXPECT_TRUE(result.written) << symbol;
    return out.str();
  }

  TempDir m_temp;
  std::string m_portfolio = m_temp.dir() + "portfolio";
  std::string m_out = m_temp.dir() + "out";
  core::BulkExportRequest m_request;
};

TEST_F(BulkExport, EveryFileIsWhatTheSingleExportWrites) {
  const core::BulkExportPlan plan(m_portfolio);
  ASSERT_TRUE(plan.ok());
  std::vector<std::string> names;
  for (const auto& item : plan.items()) names.push_back(item.file_name);
  EXPECT_EQ(names, (std::vector<std::string>{"BRK_A.txt", "brk_a~2.txt", "CON_.txt", "LOST.txt",
                                             "XSYM.txt"}));

  for (const bool newest_first : {false, true}) {
    m_request.options.newest_first = newest_first;
    m_request.options.title = newest_first;
    m_request.options.delimiter = newest_first ? 1 : 0;
    m_request.force = true;
    std::vector<std::size_t> progress;
    m_request.progress = [&](std::size_t done, std::size_t total, const std::string&) {
      EXPECT_EQ(total, 5u);
      progress.push_back(done);
    };
    const core::BulkExportResult result = core::run_bulk_export(plan, m_request);
    EXPECT_EQ(result.outcome, core::BulkExportOutcome::kDone);
    EXPECT_EQ(result.written, 4u);
    EXPECT_EQ(progress, (std::vector<std::size_t>{1, 2, 3, 4, 5}));
    // The symbol without a data file is named and the others are written all the same.
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].symbol, "LOST");
    EXPECT_EQ(result.skipped[0].file_number, 4);
    EXPECT_NE(result.skipped[0].status, qdb::kSuccess);
    EXPECT_EQ(result.skipped[0].cause, "");  // a missing file needs no cause

    const auto files = contents(m_out);
    EXPECT_EQ(files.size(), 4u);  // no temporary file left beside them
    const std::pair<const char*, int> symbols[] = {
        {"BRK/A", 1}, {"brk_a", 2}, {"CON", 3}, {"XSYM", 256}};
    for (std::size_t i = 0; i < 4; ++i) {
      const auto& [symbol, number] = symbols[i];
      const std::string name = plan.items()[i < 3 ? i : 4].file_name;
      ASSERT_TRUE(files.count(name)) << name;
      EXPECT_EQ(files.at(name), single_export(symbol, number, m_request.options)) << name;
    }
  }
}

TEST_F(BulkExport, ASkippedSymbolNamesItsDataFileThatIsNoRegularFile) {
  fs::create_directories(fs::path(m_portfolio) / "F4.DAT");
  const core::BulkExportPlan plan(m_portfolio);
  m_request.force = true;
  for (const bool single : {false, true}) {
    m_request.single_file = single ? m_out + "/all.csv" : "";
    const core::BulkExportResult result = core::run_bulk_export(plan, m_request);
    EXPECT_EQ(result.outcome, core::BulkExportOutcome::kDone) << single;
    ASSERT_EQ(result.skipped.size(), 1u) << single;
    EXPECT_EQ(result.skipped[0].cause, "F4.DAT is not a regular file") << single;
  }
}

TEST_F(BulkExport, ClashesStopTheExportBeforeAnythingIsWritten) {
  testing_support::write_bytes(fs::path(m_out) / "con_.TXT", "mine");
  testing_support::write_bytes(fs::path(m_out) / "other.txt", "other");
  const auto before = contents(m_out);
  const core::BulkExportPlan plan(m_portfolio);
  const core::BulkExportResult result = core::run_bulk_export(plan, m_request);
  EXPECT_EQ(result.outcome, core::BulkExportOutcome::kClashes);
  EXPECT_EQ(result.clashes, std::vector<std::string>{"con_.TXT"});
  EXPECT_EQ(contents(m_out), before);

  m_request.force = true;
  EXPECT_EQ(core::run_bulk_export(plan, m_request).outcome, core::BulkExportOutcome::kDone);
  const auto after = contents(m_out);
  EXPECT_EQ(after.at("con_.TXT"), single_export("CON", 3, m_request.options));
  EXPECT_EQ(after.at("other.txt"), "other");
  EXPECT_EQ(after.count("CON_.txt"), 0u);
}

TEST_F(BulkExport, SingleFileLeadsEachLineWithTheSymbol) {
  const core::BulkExportPlan plan(m_portfolio);
  m_request.single_file = m_out + "/all.csv";
  m_request.options.delimiter = 1;
  m_request.options.title = true;
  m_request.options.omit_oi = true;
  const core::BulkExportResult result = core::run_bulk_export(plan, m_request);
  EXPECT_EQ(result.outcome, core::BulkExportOutcome::kDone);
  EXPECT_EQ(result.written, 4u);
  EXPECT_EQ(result.skipped.size(), 1u);
  EXPECT_EQ(read_bytes(m_request.single_file),
            "SYMBOL,DATE,OPEN,HIGH,LOW,CLOSE,VOL\r\n"
            "BRK/A,01/03/00,9.7500,10.5000,9.5000,10.0000,1003.00\r\n"
            "BRK/A,01/04/00,10.7500,11.5000,10.5000,11.0000,1004.00\r\n"
            "BRK/A,01/05/00,11.7500,12.5000,11.5000,12.0000,1005.00\r\n"
            "brk_a,01/03/00,19.7500,20.5000,19.5000,20.0000,1003.00\r\n"
            "brk_a,01/04/00,20.7500,21.5000,20.5000,21.0000,1004.00\r\n"
            "CON,01/04/00,29.7500,30.5000,29.5000,30.0000,1004.00\r\n"
            "XSYM,01/03/00,49.7500,50.5000,49.5000,50.0000,1003.00\r\n"
            "XSYM,01/05/00,50.7500,51.5000,50.5000,51.0000,1005.00\r\n");
  EXPECT_EQ(contents(m_out).size(), 1u);

  // Without force the file is a clash; with --time every row gets a TIME column, "N/A" where
  // the series has no times.
  EXPECT_EQ(core::run_bulk_export(plan, m_request).outcome, core::BulkExportOutcome::kClashes);
  m_request.force = true;
  m_request.options = {};
  m_request.options.time = true;
  m_request.options.omit_open = m_request.options.omit_high = m_request.options.omit_low = true;
  m_request.options.omit_volume = m_request.options.omit_oi = true;
  EXPECT_EQ(core::run_bulk_export(plan, m_request).outcome, core::BulkExportOutcome::kDone);
  EXPECT_EQ(read_bytes(m_request.single_file),
            "BRK/A 01/03/00 N/A 10.0000\r\nBRK/A 01/04/00 N/A 11.0000\r\n"
            "BRK/A 01/05/00 N/A 12.0000\r\nbrk_a 01/03/00 N/A 20.0000\r\n"
            "brk_a 01/04/00 N/A 21.0000\r\nCON 01/04/00 N/A 30.0000\r\n"
            "XSYM 01/03/00 N/A 50.0000\r\nXSYM 01/05/00 N/A 51.0000\r\n");
}

TEST(BulkExportSingle, IntradayRowsKeepTheirTimes) {
  TempDir temp;
  testing_support::make_intraday_portfolio(temp.dir());
  core::BulkExportRequest request;
  request.single_file = temp.dir() + "all.txt";
  request.options.time = true;
  request.options.title = true;
  request.options.omit_high = request.options.omit_low = true;
  const core::BulkExportResult result =
      core::run_bulk_export(core::BulkExportPlan(temp.dir()), request);
  ASSERT_EQ(result.outcome, core::BulkExportOutcome::kDone);
  const std::string text = read_bytes(request.single_file);
  std::ostringstream single;
  core::ExportOptions options = request.options;
  options.title = false;
  core::export_quotes(temp.dir(), "ES", options, single);
  std::string expected = "SYMBOL DATE TIME OPEN CLOSE VOL OI\r\n";
  std::istringstream lines(single.str());
  for (std::string line; std::getline(lines, line);) expected += "ES " + line + "\n";
  EXPECT_EQ(text, expected);
}

// Stops part-way: by the user after two symbols, or by each kind of failing step. Nothing is
// left behind but what the directory held before, except the files renamed before a failing
// rename.
TEST_F(BulkExport, AStoppedRunLeavesTheDirectoryAsItWas) {
  testing_support::write_bytes(fs::path(m_out) / "XSYM.txt", "old");
  m_request.force = true;
  const auto before = contents(m_out);
  const core::BulkExportPlan plan(m_portfolio);

  for (const bool single : {false, true}) {
    SCOPED_TRACE(single ? "single file" : "file per symbol");
    m_request.single_file = single ? m_out + "/XSYM.txt" : "";
    std::atomic<bool> stop{false};
    m_request.cancel = &stop;
    m_request.progress = [&stop](std::size_t done, std::size_t, const std::string&) {
      if (done == 2) stop = true;
    };
    const core::BulkExportResult stopped = core::run_bulk_export(plan, m_request);
    EXPECT_EQ(stopped.outcome, core::BulkExportOutcome::kCancelled);
    EXPECT_EQ(stopped.written, 0u);
    EXPECT_EQ(contents(m_out), before);
    m_request.cancel = nullptr;
    m_request.progress = nullptr;

    struct Step {
      const char* kind;
      int nth;
    };
    for (const Step step : {Step{"create", 3}, Step{"write", 2}, Step{"sync", 2}, Step{"close", 4},
                            Step{"rename", 1}}) {
      SCOPED_TRACE(step.kind);
      testing_support::FailingFileSystem files;
      files.fail_step(step.kind, single ? 1 : step.nth);
      core::BulkExportResult result;
      {
        testing_support::InstalledFileSystem installed(files);
        result = core::run_bulk_export(plan, m_request);
      }
      EXPECT_EQ(result.outcome, core::BulkExportOutcome::kFailed);
      EXPECT_EQ(result.written, 0u);
      EXPECT_NE(result.failure.find(single ? "XSYM.txt" : ".txt"), std::string::npos)
          << result.failure;
      EXPECT_EQ(contents(m_out), before) << result.failure;
    }
  }

  // A rename failing part-way: the files renamed before it are in place, no temporary file is
  // left, and the failure says how far the batch came.
  m_request.single_file.clear();
  testing_support::FailingFileSystem files;
  files.fail_rename(3);
  core::BulkExportResult result;
  {
    testing_support::InstalledFileSystem installed(files);
    result = core::run_bulk_export(plan, m_request);
  }
  EXPECT_EQ(result.outcome, core::BulkExportOutcome::kFailed);
  EXPECT_EQ(result.written, 2u);
  EXPECT_NE(result.failure.find("CON_.txt could not take its place (2 of 4"), std::string::npos)
      << result.failure;
  const auto after = contents(m_out);
  std::vector<std::string> names;
  for (const auto& [name, text] : after) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"BRK_A.txt", "XSYM.txt", "brk_a~2.txt"}));
  EXPECT_EQ(after.at("XSYM.txt"), "old");
}

TEST_F(BulkExport, AFailedSyncOfTheBatchRenamesNothing) {
  testing_support::write_bytes(fs::path(m_out) / "XSYM.txt", "old");
  const auto before = contents(m_out);
  m_request.force = true;
  testing_support::FailingBatchSync files;
  core::BulkExportResult result;
  {
    testing_support::InstalledFileSystem installed(files);
    result = core::run_bulk_export(core::BulkExportPlan(m_portfolio), m_request);
  }
  EXPECT_EQ(result.outcome, core::BulkExportOutcome::kFailed);
  EXPECT_EQ(result.written, 0u);
  EXPECT_NE(result.failure.find("could not be synced"), std::string::npos) << result.failure;
  EXPECT_EQ(contents(m_out), before);
}

TEST(BulkExportPlan, AMissingMasterWritesNothing) {
  TempDir temp;
  core::BulkExportRequest request;
  request.out_dir = temp.dir();
  const core::BulkExportPlan plan(temp.dir() + "none");
  EXPECT_FALSE(plan.ok());
  EXPECT_EQ(core::run_bulk_export(plan, request).outcome, core::BulkExportOutcome::kNoIndex);
  EXPECT_TRUE(fs::is_empty(temp.path()));
}

}  // namespace
