// Export of a symbol's quotes to delimited text: format, options, order, streaming and the
// crash-safe file replacement.
#include "core/export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "command_fixture.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "support/failing_file_system.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace {

using testing_support::read_bytes;
using testing_support::TempDir;

qdb::QuoteBar bar(qdb::DateSerial date, float open, float high, float low, float close,
                  float volume, float oi = 0) {
  qdb::QuoteBar b;
  b.date = date;
  b.open = open;
  b.high = high;
  b.low = low;
  b.close = close;
  b.volume = volume;
  b.oi = oi;
  return b;
}

// A portfolio in dir holding one symbol TEST with the bars, without layout file.
void make_portfolio(const std::string& dir, const std::vector<qdb::QuoteBar>& bars,
                    int record_length = 24) {
  testing_support::make_portfolio(dir, {{1, "TEST", "Test Issue", bars, record_length, false}});
}

std::vector<qdb::QuoteBar> three_quotes() {
  return {bar(qdb::date_serial(2000, 1, 3), 12.5f, 12.875f, 12.25f, 12.625f, 15300),
          bar(qdb::date_serial(2000, 1, 4), 12.625f, 13.0f, 12.5f, 12.75f, 0),
          bar(qdb::date_serial(2000, 1, 5), 12.75f, 12.9375f, 12.5f, -1.0f, 1234.5f)};
}

std::string export_text(const std::string& dir, const core::ExportOptions& options,
                        const std::string& key = "TEST") {
  std::ostringstream out;
  const core::ExportResult result = core::export_quotes(dir, key, options, out);
  EXPECT_EQ(result.status, qdb::kSuccess);
  EXPECT_TRUE(result.written);
  return out.str();
}

// The export quote by quote, as the dialog's algorithm describes it: one read of one quote per
// row, forwards until the reader answers -9, backwards down to quote 0; a row that does not read
// ends it.
std::string per_quote_reference(const std::string& dir, const core::ExportOptions& options) {
  std::string text;
  if (options.title) text += core::export_title_row(options) + "\r\n";
  qdb::QuoteSeries series;
  EXPECT_EQ(qdb::series_alloc(series, 1), qdb::kSuccess);
  EXPECT_EQ(qdb::read_series(series, dir, "TEST", 0, 0), qdb::kSuccess);
  std::int32_t row = options.newest_first ? series.total - 1 : 0;
  while (row >= 0) {
    if (qdb::read_series(series, dir, "TEST", row, 1) != qdb::kSuccess || series.count < 1) break;
    text += core::export_data_row(series.bar(0), options) + "\r\n";
    row += options.newest_first ? -1 : 1;
  }
  return text;
}

// Golden files fix every byte of the default, comma and tab formats, the title row, the omitted
// columns, newest-first order and the open interest of 28-byte records.
TEST(ExportFormat, OptionsMatchTheGoldenFiles) {
  core::ExportOptions comma;
  comma.delimiter = 1;
  comma.omit_open = comma.omit_high = comma.omit_low = true;
  comma.title = comma.newest_first = true;
  core::ExportOptions tab;
  tab.delimiter = 2;
  tab.title = true;
  const std::vector<qdb::QuoteBar> pennies = {
      bar(qdb::date_serial(1999, 12, 31), 0.003f, 0.004f, 0.0025f, 0.0035f, 2.5e6f, 310),
      bar(qdb::date_serial(2000, 1, 3), 0.0035f, 0.005f, 0.0035f, 0.0045f, 0, 0)};
  const struct {
    const char* golden;
    core::ExportOptions options;
    std::vector<qdb::QuoteBar> bars;
    int record_length;
  } cases[] = {{"three_quotes_default.txt", core::ExportOptions{}, three_quotes(), 24},
               {"three_quotes_comma_title_newest.txt", comma, three_quotes(), 24},
               {"two_quotes_tab_title_28.txt", tab, pennies, 28}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.golden);
    TempDir dir;
    make_portfolio(dir.dir(), c.bars, c.record_length);
    EXPECT_EQ(export_text(dir.dir(), c.options),
              read_bytes(testing_support::test_data(std::string("export/") + c.golden)));
  }
}

TEST(ExportFormat, RowsOfOddValuesAndOfEveryColumnOmitted) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  core::ExportOptions options;
  EXPECT_EQ(core::export_data_row(
                bar(qdb::date_serial(2003, 7, 4), nan, -0.5f, 0.0f, 1e-5f, nan, -1.0f), options),
            "07/04/03 N/A N/A 0.0000 0.0000 N/A N/A");
  // Volume and open interest keep two decimals; large values print in full.
  EXPECT_EQ(core::export_data_row(
                bar(qdb::date_serial(2003, 7, 7), 1, 1, 1, 1, 123456789.0f, 0.125f), options),
            "07/07/03 1.0000 1.0000 1.0000 1.0000 123456792.00 0.12");
  options.omit_open = options.omit_high = options.omit_low = options.omit_close = true;
  options.omit_volume = options.omit_oi = true;
  options.delimiter = 7;  // out of range: a blank
  EXPECT_EQ(core::export_title_row(options), "DATE");
  EXPECT_EQ(core::export_data_row(bar(qdb::date_serial(2000, 1, 3), 1, 2, 3, 4, 5), options),
            "01/03/00");
  options.omit_volume = false;
  EXPECT_EQ(core::export_title_row(options), "DATE VOL");
}

TEST(ExportOrder, SingleQuoteWritesOneRowEitherWayAndNoQuoteOnlyTheTitle) {
  TempDir dir;
  make_portfolio(dir.dir(), {three_quotes()[0]});
  core::ExportOptions options;
  const std::string oldest = export_text(dir.dir(), options);
  options.newest_first = true;
  EXPECT_EQ(export_text(dir.dir(), options), oldest);
  EXPECT_EQ(oldest, "01/03/00 12.5000 12.8750 12.2500 12.6250 15300.00 N/A\r\n");

  TempDir empty;
  make_portfolio(empty.dir(), {});
  options.title = true;
  EXPECT_EQ(export_text(empty.dir(), options), "DATE OPEN HIGH LOW CLOSE VOL OI\r\n");
}

// Long series cross the 400-quote windows; the streamed export must equal the quote-by-quote
// one in both orders.
TEST(ExportStreaming, WindowsGiveTheSameTextAsQuoteByQuote) {
  TempDir dir;
  std::vector<qdb::QuoteBar> bars;
  qdb::DateSerial day = qdb::date_serial(1998, 1, 1);
  for (int i = 0; i < 1203; ++i, ++day)
    bars.push_back(bar(day, 10 + i * 0.25f, 11 + i * 0.25f, 9 + i * 0.25f, 10.5f + i * 0.25f,
                       1000.0f + i, static_cast<float>(i % 7)));
  make_portfolio(dir.dir(), bars, 28);
  for (bool newest : {false, true}) {
    core::ExportOptions options;
    options.newest_first = newest;
    options.title = true;
    const std::string text = export_text(dir.dir(), options);
    EXPECT_EQ(text, per_quote_reference(dir.dir(), options)) << "newest first " << newest;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1204);
  }
}

// A data file shorter than its header claims: only rows that were read are written. Quote by
// quote, oldest first stops at the end of the file and newest first at once (its first quote
// does not read).
TEST(ExportStreaming, TruncatedFileWritesOnlyRowsRead) {
  TempDir dir;
  std::vector<qdb::QuoteBar> bars;
  qdb::DateSerial day = qdb::date_serial(2001, 1, 1);
  for (int i = 0; i < 450; ++i, ++day) bars.push_back(bar(day, 1, 2, 0.5f, 1.5f, 100.0f + i));
  make_portfolio(dir.dir(), bars);
  const auto path = dir.path() / "F1.DAT";
  std::string bytes = read_bytes(path);
  bytes.resize(24 * (1 + 430) + 10);  // 430 whole quotes and a piece of the next
  testing_support::write_bytes(path, bytes);

  core::ExportOptions options;
  const std::string oldest = export_text(dir.dir(), options);
  EXPECT_EQ(oldest, per_quote_reference(dir.dir(), options));
  EXPECT_EQ(std::count(oldest.begin(), oldest.end(), '\n'), 430);
  options.newest_first = true;
  const std::string newest = export_text(dir.dir(), options);
  EXPECT_EQ(newest, per_quote_reference(dir.dir(), options));
  EXPECT_EQ(newest, "");
}

TEST(ExportFile, ReplacesAnExistingFileAndAnUnknownSymbolCreatesNone) {
  TempDir dir;
  make_portfolio(dir.dir(), three_quotes());
  core::ExportOptions options;
  options.path = dir.dir() + "out.txt";
  const core::ExportResult unknown = core::export_quotes_to_file(dir.dir(), "NOPE", options);
  EXPECT_EQ(unknown.status, qdb::kFileNotFound);
  EXPECT_FALSE(unknown.written);
  EXPECT_FALSE(core::export_target_exists(options.path));

  testing_support::write_bytes(options.path, "old content");
  EXPECT_TRUE(core::export_target_exists(options.path));
  const core::ExportResult result = core::export_quotes_to_file(dir.dir(), "test", options);
  EXPECT_EQ(result.status, qdb::kSuccess);
  EXPECT_TRUE(result.written);
  EXPECT_EQ(result.rows, 3);
  EXPECT_EQ(read_bytes(options.path),
            read_bytes(testing_support::test_data("export/three_quotes_default.txt")));
  EXPECT_FALSE(std::filesystem::exists(options.path + ".tmp~"));
}

TEST(ExportFile, FailedWriteOrRenameLeavesTheOldFileAndNoTemporary) {
  TempDir dir;
  std::vector<qdb::QuoteBar> bars;
  qdb::DateSerial day = qdb::date_serial(1999, 1, 1);
  for (int i = 0; i < 900; ++i, ++day) bars.push_back(bar(day, 1, 2, 0.5f, 1.5f, 100));
  make_portfolio(dir.dir(), bars);
  core::ExportOptions options;
  options.path = dir.dir() + "out.txt";
  testing_support::write_bytes(options.path, "keep me");

  for (int step = 0; step < 3; ++step) {
    testing_support::FailingFileSystem files;
    if (step == 0) files.fail_write(1, "out.txt", 100);  // a full disk part-way
    if (step == 1) files.fail_sync(1, "out.txt");
    if (step == 2) files.fail_rename(1, "out.txt");
    testing_support::InstalledFileSystem installed(files);
    const core::ExportResult result = core::export_quotes_to_file(dir.dir(), "TEST", options);
    EXPECT_FALSE(result.written) << "step " << step;
    EXPECT_EQ(files.failures(), 1) << "step " << step;
    EXPECT_EQ(read_bytes(options.path), "keep me") << "step " << step;
    EXPECT_FALSE(std::filesystem::exists(options.path + ".tmp~")) << "step " << step;
  }
}

}  // namespace
