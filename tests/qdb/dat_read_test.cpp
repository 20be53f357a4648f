// Reading windows of quotes and finding quotes by date.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/series.h"
#include "read_fixture_builder.h"
#include "support/failing_file_system.h"
#include "support/master_bytes.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using read_fixtures::dat;
using read_fixtures::weekday_quotes;
using read_fixtures::write_file;
using testing_support::entry;
using testing_support::master;
using testing_support::MasterEntryFields;
using testing_support::TempDir;

namespace {

const qdb::DateSerial kJan3 = qdb::date_serial(2000, 1, 3);

// A series owned by the test, released however the test ends.
struct Series {
  explicit Series(int capacity) { EXPECT_EQ(qdb::series_alloc(s, capacity), 0); }
  ~Series() { qdb::series_free(s); }
  qdb::QuoteSeries s;
};

// One-symbol portfolio "SYM" with the given data file bytes, record length and DOP text.
void one_symbol(const TempDir& dir, int record_length, const std::string& dat_bytes,
                const std::string& dop = {}) {
  MasterEntryFields wanted;
  wanted.symbol = "SYM";
  wanted.name = "SYMBOL ISSUE";
  wanted.record_length = record_length;
  wanted.field_count = record_length / 4;
  write_file(dir.path() / "MASTER", master({entry(wanted)}));
  write_file(dir.path() / "F1.DAT", dat_bytes);
  if (!dop.empty()) write_file(dir.path() / "F1.DOP", dop);
}

std::string tree() { return testing_support::test_data("read/tree").string(); }

}  // namespace

TEST(ReadSeries, WindowsOfTheGoldenPortfolio) {
  Series w(400);
  ASSERT_EQ(qdb::read_series(w.s, tree(), "aaa", 0, 400), 0);
  EXPECT_EQ(w.s.count, 10);
  EXPECT_EQ(w.s.total, 10);
  EXPECT_EQ(w.s.kind, 3);
  EXPECT_EQ(w.s.path, tree() + "/");
  EXPECT_EQ(w.s.name, "aaa");
  ASSERT_NE(w.s.info, nullptr);
  EXPECT_EQ(w.s.info_size, qdb::kSeriesInfoSize);
  EXPECT_EQ(w.s.info->master.file_number(), 1);
  EXPECT_FLOAT_EQ(qdb::ieee_bytes_to_float(w.s.info->master.bytes.data() + 25), 1000103.0f);
  EXPECT_EQ(w.s.info->column_map[qdb::kOi], 7);
  const qdb::QuoteBar first = w.s.bar(0);
  EXPECT_EQ(first.date, kJan3);
  EXPECT_EQ(first.time, 0);
  EXPECT_EQ(
      std::vector<float>({first.open, first.high, first.low, first.close, first.volume, first.oi}),
      std::vector<float>({9.875f, 10.5f, 9.5f, 10.0f, 1000.0f, 500.0f}));
  for (int i = 1; i < 10; ++i) EXPECT_GT(w.s.date(i), w.s.date(i - 1));
  const qdb::DateSerial newest = w.s.date(9);

  Series one(1);
  ASSERT_EQ(qdb::read_series(one.s, tree(), "AAA", -1, 1), 0);
  EXPECT_EQ(one.s.count, 1);
  EXPECT_EQ(one.s.date(0), newest);
  ASSERT_EQ(qdb::read_series(one.s, tree(), "AAA", 0, 1), 0);
  EXPECT_EQ(one.s.date(0), kJan3);
  EXPECT_EQ(qdb::read_series(one.s, tree(), "AAA", 10, 1), qdb::kRecordNotFound);

  // Start one before the end gives one row even when more are asked for.
  ASSERT_EQ(qdb::read_series(w.s, tree(), "AAA", 9, 5), 0);
  EXPECT_EQ(w.s.count, 1);
  EXPECT_EQ(w.s.date(0), newest);
  // Count 0 fills the description only.
  ASSERT_EQ(qdb::read_series(w.s, tree(), "DEEP", 0, 0), 0);
  EXPECT_EQ(w.s.count, 1);
  EXPECT_EQ(w.s.date(0), newest);
  EXPECT_EQ(w.s.total, 6);
  EXPECT_EQ(w.s.path, tree() + "/SUB/");

  // The root's entry wins over the sub-portfolio's entry of the same symbol.
  ASSERT_EQ(qdb::read_series(w.s, tree(), "AAA", 0, -1), 0);
  EXPECT_EQ(w.s.count, 10);
  // f2.dat (lower case) with its DOP; F3.DAT probed as a 20-byte file with OPEN.
  ASSERT_EQ(qdb::read_series(w.s, tree(), "IBM", 0, 400), 0);
  EXPECT_EQ(w.s.count, 5);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kClose, 0), 100.0f);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kOi, 0), -1.0f);
  ASSERT_EQ(qdb::read_series(w.s, tree(), "BLANKSYM", 0, 400), 0);
  EXPECT_EQ(w.s.count, 4);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kOpen, 1), 50.125f);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kVol, 1), -1.0f);
}

TEST(ReadSeries, FullReadsAreCapped) {
  TempDir dir;
  one_symbol(dir, 28, dat(28, weekday_quotes(1, 20000, 7)));
  Series small(400);
  ASSERT_EQ(qdb::read_series(small.s, dir.dir(), "SYM", 0, -1), 0);
  EXPECT_EQ(small.s.count, 400);
  EXPECT_EQ(small.s.total, 20000);
  Series big(30000);
  ASSERT_EQ(qdb::read_series(big.s, dir.dir(), "SYM", 5, -1), 0);
  EXPECT_EQ(big.s.count, 15995);
  EXPECT_EQ(big.s.bar(0).date, small.s.bar(5).date);
  // A negative start with a full read gives the newest quotes.
  EXPECT_EQ(qdb::read_series(big.s, dir.dir(), "SYM", 20001, -1), qdb::kRecordNotFound);
  ASSERT_EQ(qdb::read_series(big.s, dir.dir(), "SYM", -1, -1), 0);
  EXPECT_EQ(big.s.count, 16000);
  Series last(1);
  ASSERT_EQ(qdb::read_series(last.s, dir.dir(), "SYM", -1, 1), 0);
  EXPECT_EQ(big.s.date(15999), last.s.date(0));
}

TEST(ReadSeries, MissingFieldsReadAsMinusOne) {
  TempDir dir;
  // 16 bytes: DATE, HIGH, LOW, CLOSE.
  one_symbol(dir, 16, dat(16, {{1000103.f, 11.f, 9.f, 10.f}, {1000104.f, 12.f, 10.f, 11.f}}));
  Series w(10);
  ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), 0);
  ASSERT_EQ(w.s.count, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_FLOAT_EQ(w.s.value(qdb::kOpen, i), -1.0f);
    EXPECT_FLOAT_EQ(w.s.value(qdb::kVol, i), -1.0f);
    EXPECT_FLOAT_EQ(w.s.value(qdb::kOi, i), -1.0f);
    EXPECT_EQ(w.s.time(i), 0);
  }
  EXPECT_FLOAT_EQ(w.s.value(qdb::kHigh, 1), 12.0f);
  // A TIME column from the DOP gives time codes.
  one_symbol(dir, 12, dat(12, {{1000103.f, 93015.f, 10.f}}), "\"DATE\"\n\"TIME\"\n\"CLOSE\"\n");
  ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), 0);
  EXPECT_EQ(w.s.time(0), qdb::time_code(9, 30, 15));
  EXPECT_FLOAT_EQ(w.s.value(qdb::kClose, 0), 10.0f);
  // Two-digit years of 2000 and later read as the same date.
  one_symbol(dir, 12, dat(12, {{103.f, 10.f, 1.f}}));
  ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), 0);
  EXPECT_EQ(w.s.date(0), kJan3);
}

TEST(ReadSeries, FailuresAndUnusableLayouts) {
  Series w(10);
  EXPECT_EQ(qdb::read_series(w.s, tree(), "NOSUCH", 0, 10), qdb::kFileNotFound);
  TempDir dir;
  one_symbol(dir, 28, dat(28, weekday_quotes(kJan3, 3, 7)));
  fs::remove(dir.path() / "F1.DAT");
  EXPECT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), qdb::kFileOpen);

  const std::string lengths = testing_support::test_data("read/broken/lengths").string();
  for (const char* key : {"RL0", "RL3", "RL127", "RLM1", "RL8"}) {
    EXPECT_EQ(qdb::read_series(w.s, lengths, key, 0, 10), qdb::kLayoutUnknown) << key;
  }
  // 32 bytes in 8 fields without a DOP is the intraday layout: the empty file opens.
  EXPECT_EQ(qdb::read_series(w.s, lengths, "RL32", 0, 10), qdb::kRecordNotFound);
  EXPECT_EQ(w.s.info->column_map[qdb::kTime], 2);
  // Length 127 with a DOP reads, and nothing past the record is touched.
  ASSERT_EQ(qdb::read_series(w.s, lengths, "RL127D", 0, 10), 0);
  EXPECT_EQ(w.s.count, 3);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kClose, 2), 10.5f);
  EXPECT_EQ(w.s.date(2), kJan3 + 2);
}

TEST(ReadSeries, HeadersThatDisagreeWithTheFile) {
  Series w(400);
  // Golden: the header promises ten quotes, the file holds three.
  const std::string short_dat = testing_support::test_data("read/broken/short_dat").string();
  ASSERT_EQ(qdb::read_series(w.s, short_dat, "SHORT", 0, 400), 0);
  EXPECT_EQ(w.s.total, 10);
  EXPECT_EQ(w.s.count, 3);
  EXPECT_EQ(w.s.date(2), kJan3 + 2);
  ASSERT_EQ(qdb::read_series(w.s, short_dat, "SHORT", -1, 400), 0);
  EXPECT_EQ(w.s.count, 3) << "rows not in the file are never counted";
  ASSERT_EQ(qdb::read_series(w.s, short_dat, "SHORT", 5, 1), 0);
  EXPECT_EQ(w.s.count, 0);

  TempDir dir;
  const auto rows = weekday_quotes(kJan3, 3, 7);
  for (int r : {0, 1}) {
    one_symbol(dir, 28, dat(28, rows, r));
    ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 0), 0) << r;
    EXPECT_EQ(w.s.total, 0) << r;
    EXPECT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), qdb::kRecordNotFound) << r;
    EXPECT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", -1, 1), qdb::kRecordNotFound) << r;
    ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, -1), 0) << r;
    EXPECT_EQ(w.s.count, 0) << r;
    EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3, 0, nullptr, nullptr), qdb::kFileRead);
  }
  // The header's count is unsigned: bytes FB FF claim 65,530 quotes, not a negative count.
  for (int r : {32767, -5}) {
    one_symbol(dir, 28, dat(28, rows, r));
    ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 400), 0) << r;
    EXPECT_EQ(w.s.total, (r & 0xFFFF) - 1) << r;
    EXPECT_EQ(w.s.count, 3) << r;
    ASSERT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, -1), 0) << r;
    EXPECT_EQ(w.s.count, 3) << r;
    EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3 + 2, 0, nullptr, nullptr), 2) << r;
  }
  // A header shorter than four bytes holds no quotes.
  one_symbol(dir, 28, std::string("\0\x05", 2));
  EXPECT_EQ(qdb::read_series(w.s, dir.dir(), "SYM", 0, 10), qdb::kRecordNotFound);
}

TEST(SeriesReader, StreamsWindowsWithoutReopening) {
  TempDir dir;
  one_symbol(dir, 28, dat(28, weekday_quotes(1, 1000, 7)));
  qdb::SeriesReader reader;
  ASSERT_EQ(reader.open(dir.dir(), "SYM"), 0);
  EXPECT_EQ(reader.total(), 1000);
  EXPECT_EQ(reader.directory(), dir.dir());
  EXPECT_EQ(reader.layout().column[qdb::kOi], 7);

  // Once open, the reader needs nothing more from the file system than its open file.
  testing_support::FailingFileSystem files;
  files.fail_open_read(testing_support::FailingFileSystem::kEvery);
  testing_support::InstalledFileSystem installed(files);
  Series w(400);
  std::vector<qdb::DateSerial> dates;
  for (int start = 1000 - 400;; start -= 400) {
    const int count = start < 0 ? 400 + start : 400;
    ASSERT_EQ(reader.read(w.s, "SYM", std::max(start, 0), count), 0);
    for (int i = w.s.count - 1; i >= 0; --i) dates.push_back(w.s.date(i));
    if (start <= 0) break;
  }
  EXPECT_EQ(files.opens(), 0);
  ASSERT_EQ(dates.size(), 1000u);
  for (std::size_t i = 1; i < dates.size(); ++i) ASSERT_LT(dates[i], dates[i - 1]);
  EXPECT_EQ(reader.read(w.s, "SYM", 1000, 1), qdb::kRecordNotFound);
}

TEST(FindQuote, HalvingSearch) {
  TempDir dir;
  // Quotes on every other weekday: gaps to fall between.
  std::vector<std::vector<float>> rows;
  std::vector<qdb::DateSerial> dates;
  for (qdb::DateSerial s = kJan3; rows.size() < 101; s += 2) {
    rows.push_back({qdb::date_to_real(s), 1.f, 2.f, 0.5f, 1.5f, 100.f, 10.f});
    dates.push_back(s);
  }
  one_symbol(dir, 28, dat(28, rows));
  qdb::DateSerial date_out = 0;
  std::uint16_t time_out = 7;
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", dates[0], 0, &date_out, &time_out), 0);
  EXPECT_EQ(date_out, dates[0]);
  EXPECT_EQ(time_out, 0);
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", dates[100], 0, nullptr, nullptr), 100);
  for (int i : {1, 2, 37, 50, 63, 99}) {
    EXPECT_EQ(
        qdb::find_quote(dir.dir(), "SYM", dates[static_cast<std::size_t>(i)], 0, nullptr, nullptr),
        i);
  }
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", dates[100] + 1, 0, &date_out, nullptr),
            qdb::kRecordNotFound);
  EXPECT_EQ(date_out, dates[100]);
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", dates[0] + 1, 0, nullptr, nullptr),
            qdb::kRecordNotFound);
  // Between two later quotes the search usually ends on the later one.
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", dates[50] + 1, 0, &date_out, nullptr), 51);
  EXPECT_EQ(date_out, dates[51]);
  EXPECT_EQ(qdb::find_quote(dir.dir(), "NOSUCH", dates[0], 0, nullptr, nullptr),
            qdb::kFileNotFound);

  // A file without quotes has no record to seek to.
  one_symbol(dir, 28, dat(28, {}));
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3, 0, nullptr, nullptr), qdb::kFileRead);
}

TEST(FindQuote, TimesAndHostileOrderings) {
  TempDir dir;
  one_symbol(dir, 12,
             dat(12, {{1000103.f, 93000.f, 1.f},
                      {1000103.f, 100000.f, 2.f},
                      {1000103.f, 103000.f, 3.f},
                      {1000104.f, 93000.f, 4.f}}),
             "\"DATE\"\n\"TIME\"\n\"CLOSE\"\n");
  std::uint16_t time_out = 0;
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3, qdb::time_code(10, 30, 0), nullptr, &time_out),
            2);
  EXPECT_EQ(time_out, qdb::time_code(10, 30, 0));
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3, qdb::time_code(10, 0, 0), nullptr, nullptr),
            1);

  // Dates in no order at all, and every date the same: the search still ends.
  std::vector<std::vector<float>> rows;
  for (int i = 0; i < 2000; ++i) {
    rows.push_back(
        {qdb::date_to_real(static_cast<qdb::DateSerial>(kJan3 + (i * 7919) % 997)), 1.f});
  }
  one_symbol(dir, 8, dat(8, rows), "\"DATE\"\n\"CLOSE\"\n");
  for (qdb::DateSerial d = kJan3; d < kJan3 + 1000; d += 37) {
    const std::int32_t r = qdb::find_quote(dir.dir(), "SYM", d, 0, nullptr, nullptr);
    EXPECT_TRUE(r == qdb::kRecordNotFound || (r >= 0 && r < 2000)) << r;
  }
  rows.assign(500, {1000103.f, 1.f});
  one_symbol(dir, 8, dat(8, rows), "\"DATE\"\n\"CLOSE\"\n");
  EXPECT_GE(qdb::find_quote(dir.dir(), "SYM", kJan3, 0, nullptr, nullptr), 0);
  EXPECT_EQ(qdb::find_quote(dir.dir(), "SYM", kJan3 + 1, 0, nullptr, nullptr),
            qdb::kRecordNotFound);
}

namespace {

// The key by which an entry is asked for: its symbol, or its issue name when the symbol is
// blank, each as far as a zero byte and without trailing blanks.
std::string key_of(const std::string& master_bytes, int entry) {
  auto text = [&](int offset) {
    std::string t = master_bytes.substr(static_cast<std::size_t>(53 * entry + offset), 16);
    t = t.substr(0, t.find('\0'));
    while (!t.empty() && t.back() == ' ') t.pop_back();
    return t;
  };
  const std::string symbol = text(36);
  return symbol.empty() ? text(7) : symbol.substr(0, symbol.find(' '));
}

// Reads every quote of key through one reader in windows of 400, newest first, and checks
// that each has a date and, when ascending is asked for, that the dates ascend.
void read_all(const std::string& root, const std::string& key, int file_number, bool ascending) {
  qdb::SeriesReader reader;
  ASSERT_EQ(reader.open(root, key), 0) << key;
  EXPECT_EQ(reader.record().file_number(), file_number) << key;
  Series w(400);
  std::int32_t shown = 0;
  qdb::DateSerial later = qdb::kLastDateSerial;
  while (shown < reader.total()) {
    const int window = static_cast<int>(std::min<std::int32_t>(400, reader.total() - shown));
    const std::int32_t start = reader.total() - shown - window;
    ASSERT_EQ(reader.read(w.s, key, start, window), 0) << key;
    ASSERT_GT(w.s.count, 0) << key;
    for (int i = w.s.count - 1; i >= 0; --i) {
      ASSERT_NE(w.s.date(i), 0) << key << " row " << start + i;
      if (ascending) {
        ASSERT_LE(w.s.date(i), later) << key << " row " << start + i;
      }
      later = w.s.date(i);
    }
    shown += w.s.count;
    if (start == 0) break;
  }
  EXPECT_EQ(shown, reader.total()) << key;
}

}  // namespace

TEST(RealPortfolios, EverySymbolOfHangsengReads) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  const fs::path root = testing_support::real_portfolio("hangseng-mini");
  const std::string bytes = testing_support::read_bytes(root / "master");
  ASSERT_GE(bytes.size(), 53u * 256);
  ASSERT_EQ(qdb::read_u16le(reinterpret_cast<const std::uint8_t*>(bytes.data())), 255);
  for (int e = 1; e <= 255; ++e) {
    const int file_number = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(53 * e)]);
    read_all(root.string(), key_of(bytes, e), file_number, true);
  }
}

TEST(RealPortfolios, MiningeReadsThroughIssueNamesAndDopLayouts) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  const fs::path root = testing_support::real_portfolio("mininge");
  const std::string bytes = testing_support::read_bytes(root / "MASTER");
  for (int e = 1; e <= 25; ++e) {
    const int file_number = static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(53 * e)]);
    // A few of its files hold mistyped dates out of order; they read all the same.
    read_all(root.string(), key_of(bytes, e), file_number, false);
  }
  // F1's DOP lists no OI: it reads as -1 (its layout is checked with the DOP readers).
  Series w(1);
  ASSERT_EQ(qdb::read_series(w.s, root.string(), "APX", 0, 1), 0);
  EXPECT_GE(w.s.value(qdb::kVol, 0), 0.0f);
  EXPECT_FLOAT_EQ(w.s.value(qdb::kOi, 0), -1.0f);
}
