// The facts of a series: its MASTER record, quote count and field formats.
#include <gtest/gtest.h>

#include <string>

#include "qdb/describe.h"
#include "read_fixture_builder.h"
#include "support/temp_dir.h"

using read_fixtures::dat;
using read_fixtures::entry;
using read_fixtures::EntrySpec;
using read_fixtures::master;
using read_fixtures::write_file;
using testing_support::TempDir;

TEST(DescribeSeries, TextTables) {
  EXPECT_EQ(qdb::format_number_text(-7), "128ths");
  EXPECT_EQ(qdb::format_number_text(-5), "32nds");
  EXPECT_EQ(qdb::format_number_text(-1), "Halves");
  EXPECT_EQ(qdb::format_number_text(0), "Whole Num.");
  EXPECT_EQ(qdb::format_number_text(3), "1,000ths");
  EXPECT_EQ(qdb::format_number_text(5), "100,000ths");
  EXPECT_EQ(qdb::format_number_text(100), "100s");
  EXPECT_EQ(qdb::format_number_text(1000), "1,000s");
  for (int n : {-8, 6, 99, 101, 999, 10000}) EXPECT_EQ(qdb::format_number_text(n), "") << n;
  EXPECT_EQ(qdb::periodicity_text('D'), "D Daily");
  EXPECT_EQ(qdb::periodicity_text('I'), "I Intra-day");
  EXPECT_EQ(qdb::periodicity_text('Q'), "Q Quarterly");
  EXPECT_EQ(qdb::periodicity_text('Y'), "Y Yearly");
  EXPECT_EQ(qdb::periodicity_text('d'), "ERROR");
  EXPECT_EQ(qdb::periodicity_text('X'), "ERROR");
  EXPECT_EQ(qdb::periodicity_text('\0'), "ERROR");
}

TEST(DescribeSeries, RecordCountsAndFormatsOfGoldenSymbols) {
  const std::string root = testing_support::test_data("read/tree").string();
  qdb::SeriesDescription d;
  ASSERT_EQ(qdb::describe_series(root, "AAA", d), 0);
  EXPECT_EQ(d.path, root) << "the directory as given";
  EXPECT_EQ(d.file_number, 1);
  EXPECT_EQ(d.record_length, 28);
  EXPECT_EQ(d.field_count, 7);
  EXPECT_EQ(d.quote_count, 10);
  EXPECT_EQ(d.name, "ALPHA INC       ");
  EXPECT_EQ(d.symbol, "AAA             ");
  EXPECT_FLOAT_EQ(d.first_date, 1000103.0f);
  EXPECT_EQ(d.periodicity, "D Daily");
  // No DOP: every field of the record length shows whole numbers, the others nothing.
  for (int f = 0; f < 8; ++f) {
    const std::string expected = f == 1 ? "" : "Whole Num.";
    EXPECT_EQ(d.input_format[f], expected) << f;
    EXPECT_EQ(d.display_format[f], expected) << f;
  }
  ASSERT_EQ(qdb::describe_series(root, "IBM", d), 0);
  EXPECT_EQ(d.display_format[6], "100s");
  EXPECT_EQ(d.input_format[6], "1,000s");
  EXPECT_EQ(d.input_format[5], "100ths");
  EXPECT_EQ(d.input_format[7], "") << "OI is not in a 6-field file";
  ASSERT_EQ(qdb::describe_series(root, "BLANKSYM", d), 0);
  EXPECT_EQ(d.periodicity, "W Weekly");
  EXPECT_EQ(d.symbol, std::string(16, ' '));
}

TEST(DescribeSeries, QuoteCountFromTheHeaderAndFailuresLeaveTheOldReport) {
  TempDir dir;
  EntrySpec wanted;
  wanted.symbol = "SYM";
  wanted.periodicity = 'd';
  write_file(dir.path() / "MASTER", master({entry(wanted)}));
  write_file(dir.path() / "F1.DAT", dat(28, {}, 1));
  qdb::SeriesDescription d;
  ASSERT_EQ(qdb::describe_series(dir.dir(), "SYM", d), 0);
  EXPECT_EQ(d.quote_count, 0);
  EXPECT_EQ(d.periodicity, "ERROR");
  write_file(dir.path() / "F1.DAT", dat(28, {}, 0));
  ASSERT_EQ(qdb::describe_series(dir.dir(), "SYM", d), 0);
  EXPECT_EQ(d.quote_count, -1);

  d.quote_count = 42;
  EXPECT_EQ(qdb::describe_series(dir.dir(), "NOSUCH", d), 1);
  std::filesystem::remove(dir.path() / "F1.DAT");
  EXPECT_EQ(qdb::describe_series(dir.dir(), "SYM", d), 1);
  wanted.record_length = 32;
  write_file(dir.path() / "MASTER", master({entry(wanted)}));
  write_file(dir.path() / "F1.DAT", dat(32, {}, 1));
  EXPECT_EQ(qdb::describe_series(dir.dir(), "SYM", d), 1);
  EXPECT_EQ(d.quote_count, 42);
  EXPECT_EQ(d.periodicity, "ERROR");
}
