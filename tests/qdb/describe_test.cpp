// The facts of a series: its MASTER record, quote count and field formats.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "qdb/describe.h"
#include "read_fixture_builder.h"
#include "support/master_bytes.h"
#include "support/temp_dir.h"

using read_fixtures::dat;
using read_fixtures::write_file;
using testing_support::entry;
using testing_support::master;
using testing_support::MasterEntryFields;
using testing_support::TempDir;

TEST(DescribeSeries, TextTables) {
  // Every entry of both tables: the texts are what users have always seen in this dialog.
  const std::pair<int, const char*> formats[] = {
      {-7, "128ths"},  {-6, "64ths"},    {-5, "32nds"},     {-4, "16ths"}, {-3, "8ths"},
      {-2, "4ths"},    {-1, "Halves"},   {0, "Whole Num."}, {1, "10ths"},  {2, "100ths"},
      {3, "1,000ths"}, {4, "10,000ths"}, {5, "100,000ths"}, {100, "100s"}, {1000, "1,000s"},
      {-8, ""},        {6, ""},          {99, ""},          {999, ""},     {10000, ""}};
  for (const auto& [n, text] : formats) EXPECT_EQ(qdb::format_number_text(n), text) << n;
  const std::pair<char, const char*> periods[] = {{'D', "D Daily"},   {'I', "I Intra-day"},
                                                  {'M', "M Monthly"}, {'Q', "Q Quarterly"},
                                                  {'W', "W Weekly"},  {'Y', "Y Yearly"}};
  for (const auto& [c, text] : periods) EXPECT_EQ(qdb::periodicity_text(c), text) << c;
  for (char c : {'d', 'X', '\0'}) EXPECT_EQ(qdb::periodicity_text(c), "ERROR") << int{c};
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
  MasterEntryFields wanted;
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
