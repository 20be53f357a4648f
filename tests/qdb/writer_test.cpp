#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/series.h"
#include "qdb/writer.h"
#include "read_fixture_builder.h"
#include "support/failing_file_system.h"
#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::FailingFileSystem;
using testing_support::InstalledFileSystem;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

qdb::SeriesLayout full_layout() {
  qdb::SeriesLayout layout;
  for (int f = 0; f < qdb::kFieldCountAll; ++f) {
    layout.column[f] = static_cast<std::int16_t>(f + 1);
    layout.input_format[f] = static_cast<std::int16_t>(f);
    layout.display_format[f] = static_cast<std::int16_t>(f == qdb::kVol ? 1000 : 2);
  }
  return layout;
}

TEST(WriteDataFile, WritesTheHeaderCountAndMbfCellsByteForByte) {
  TempDir tmp;
  qdb::QuoteBar bar;
  bar.date = qdb::date_serial(2000, 1, 3);
  bar.close = 10.0f;
  bar.volume = 1000.0f;
  ASSERT_TRUE(qdb::write_data_file(tmp.dir(), 3, {bar}, qdb::default_layout(12), 12));
  const std::string expected =
      bytes({0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}) +                         // 2 records
      bytes({0x70, 0x2A, 0x74, 0x94, 0, 0, 0x20, 0x84, 0, 0, 0x7A, 0x8A});  // 1000103, 10, 1000
  EXPECT_EQ(read_bytes(tmp.path() / "F3.DAT"), expected);
}

TEST(WriteDataFile, RoundTripsThroughTheReaderWithAnyColumnList) {
  TempDir tmp;
  std::vector<qdb::QuoteBar> bars;
  for (int i = 0; i < 450; ++i) {
    const auto f = static_cast<float>(i);
    bars.push_back({static_cast<qdb::DateSerial>(qdb::date_serial(1999, 12, 1) + i),
                    qdb::time_code(9 + i % 8, i % 60, (2 * i) % 60), 1.25f + f, 2.5f + f,
                    0.0078125f * f, 1.75f + f, 1000.0f * f, 3.0f * f});
  }
  const qdb::SeriesLayout layout = full_layout();
  ASSERT_TRUE(qdb::create_portfolio(tmp.dir()));
  ASSERT_TRUE(qdb::write_data_file(tmp.dir(), 1, bars, layout, 36));  // a spare cell at the end
  ASSERT_TRUE(qdb::write_dop_file(tmp.dir(), 1, layout));
  ASSERT_TRUE(qdb::append_master_record(
      tmp.dir(),
      qdb::make_master_record(1, "RT", "ROUND TRIP", 36, 8, bars.front().date, bars.back().date)));

  qdb::SeriesLayout read_back;
  ASSERT_EQ(qdb::read_layout(tmp.dir() + "F1.DOP", read_back, 36), 0);
  for (int f = 0; f < qdb::kFieldCountAll; ++f) {
    EXPECT_EQ(
        read_back.column[f] * 10000 + read_back.input_format[f] * 10 + read_back.display_format[f],
        layout.column[f] * 10000 + layout.input_format[f] * 10 + layout.display_format[f])
        << f;
  }

  qdb::QuoteSeries series;
  ASSERT_EQ(qdb::series_alloc(series, 500), 0);
  ASSERT_EQ(qdb::read_series(series, tmp.dir(), "RT", 0, -1), 0);
  EXPECT_EQ(series.total, 450);
  ASSERT_EQ(series.count, 450);
  for (int i = 0; i < 450; ++i) {
    const qdb::QuoteBar got = series.bar(i);
    const qdb::QuoteBar& want = bars[static_cast<std::size_t>(i)];
    ASSERT_TRUE(got.date == want.date && got.time == want.time && got.open == want.open &&
                got.high == want.high && got.low == want.low && got.close == want.close &&
                got.volume == want.volume && got.oi == want.oi)
        << "quote " << i;
  }
  qdb::series_free(series);
}

TEST(WriteDataFile, RefusesLayoutsOutsideTheRecordAndKeepsTheOldFileOnFailure) {
  TempDir tmp;
  qdb::QuoteBar bar;
  bar.date = qdb::date_serial(2000, 1, 3);
  EXPECT_FALSE(qdb::write_data_file(tmp.dir(), 1, {bar}, qdb::default_layout(28), 24));
  EXPECT_FALSE(qdb::write_data_file(tmp.dir(), 1, {bar}, qdb::default_layout(28), 2));
  EXPECT_FALSE(fs::exists(tmp.path() / "F1.DAT"));

  write_bytes(tmp.path() / "F1.DAT", "old");
  FailingFileSystem files;
  files.fail_rename();
  InstalledFileSystem installed(files);
  EXPECT_FALSE(qdb::write_data_file(tmp.dir(), 1, {bar}, qdb::default_layout(28), 28));
  EXPECT_EQ(read_bytes(tmp.path() / "F1.DAT"), "old");
  EXPECT_FALSE(fs::exists(tmp.path() / "F1.NEW"));
}

TEST(WriteDopFile, ListsTheFieldsInColumnOrder) {
  TempDir tmp;
  qdb::SeriesLayout layout = qdb::default_layout(24);
  layout.input_format[qdb::kOpen] = 2;
  layout.display_format[qdb::kOpen] = 3;
  layout.input_format[qdb::kVol] = 1000;
  layout.display_format[qdb::kVol] = 1000;
  ASSERT_TRUE(qdb::write_dop_file(tmp.dir(), 4, layout));
  EXPECT_EQ(read_bytes(tmp.path() / "F4.DOP"),
            "\"DATE\",0,0\r\n\"OPEN\",2,3\r\n\"HIGH\",0,0\r\n\"LOW\",0,0\r\n\"CLOSE\",0,0\r\n"
            "\"VOL\",1000,1000\r\n");
  // Columns are numbered by line order, so a layout with a hole cannot be written.
  qdb::SeriesLayout holed;
  holed.column[qdb::kDate] = 1;
  holed.column[qdb::kClose] = 3;
  EXPECT_FALSE(qdb::write_dop_file(tmp.dir(), 5, holed));
  EXPECT_FALSE(fs::exists(tmp.path() / "F5.DOP"));
}

TEST(MasterWriter, MakesEntriesAndDirectoryEntriesByteForByte) {
  testing_support::MasterEntryFields wanted;
  wanted.file_number = 7;
  wanted.symbol = "IBM";
  wanted.name = "INTL BUSINESS";
  wanted.record_length = 24;
  wanted.field_count = 6;
  wanted.first_date = 1000103.0f;  // no last date: zero bytes
  const qdb::MasterRecord r =
      qdb::make_master_record(7, "IBM", "INTL BUSINESS", 24, 6, qdb::date_serial(2000, 1, 3), 0);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), testing_support::entry(wanted));
  const qdb::MasterRecord d = qdb::make_directory_record("SUBPORTFOLIO");
  EXPECT_EQ(std::string(d.bytes.begin(), d.bytes.end()), testing_support::dir_entry("SUBPORTF"));
}

TEST(MasterWriter, CreatesAnEmptyMasterOnceAndAppendsEntries) {
  TempDir tmp;
  const std::string dir = (tmp.path() / "a" / "b").string();
  ASSERT_TRUE(qdb::create_portfolio(dir));
  EXPECT_EQ(read_bytes(tmp.path() / "a" / "b" / "MASTER"), std::string(53, '\0'));

  ASSERT_TRUE(qdb::append_master_record(dir, qdb::make_master_record(1, "A", "A", 28, 7)));
  ASSERT_TRUE(qdb::append_master_record(dir, qdb::make_master_record(2, "B", "B", 28, 7)));
  ASSERT_TRUE(qdb::create_portfolio(dir));  // keeps the MASTER it finds
  const std::string master = read_bytes(tmp.path() / "a" / "b" / "MASTER");
  ASSERT_EQ(master.size(), 53u * 3);
  EXPECT_EQ(master.substr(0, 4), bytes({2, 0, 2, 0}));
  EXPECT_EQ(master[53], 1);
  EXPECT_EQ(master[106], 2);
}

TEST(MasterWriter, AppendsAfterTheCountedEntriesKeepingOtherBytes) {
  TempDir tmp;
  // Header: count 1, second counter 5, a byte in the uninterpreted part; one entry; one spare
  // all-zero slot past the counted ones, as some programs leave.
  std::string header(53, '\0');
  header[0] = 1;
  header[2] = 5;
  header[40] = 'x';
  const qdb::MasterRecord first = qdb::make_master_record(1, "A", "A", 28, 7);
  const std::string first_bytes(first.bytes.begin(), first.bytes.end());
  write_bytes(tmp.path() / "master", header + first_bytes + std::string(53, '\0'));

  const qdb::MasterRecord added = qdb::make_master_record(2, "B", "B", 28, 7);
  ASSERT_TRUE(qdb::append_master_record(tmp.dir(), added));
  std::string expected_header = header;
  expected_header[0] = 2;
  expected_header[2] = 6;
  EXPECT_EQ(read_bytes(tmp.path() / "master"),
            expected_header + first_bytes + std::string(added.bytes.begin(), added.bytes.end()) +
                std::string(53, '\0'));
  EXPECT_FALSE(fs::exists(tmp.path() / "MASTER"));
}

TEST(MasterWriter, RefusesAFullOrShortMaster) {
  TempDir tmp;
  std::string header(53, '\0');
  header[0] = static_cast<char>(255);
  write_bytes(tmp.path() / "MASTER", header + std::string(53 * 255, '\0'));
  EXPECT_FALSE(qdb::append_master_record(tmp.dir(), qdb::make_master_record(1, "A", "A", 28, 7)));

  header[0] = 3;  // claims three entries, holds none
  write_bytes(tmp.path() / "MASTER", header);
  EXPECT_FALSE(qdb::append_master_record(tmp.dir(), qdb::make_master_record(1, "A", "A", 28, 7)));
  EXPECT_EQ(read_bytes(tmp.path() / "MASTER"), header);
}

}  // namespace
