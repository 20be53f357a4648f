// The read-modify-write pass over a data file and the MASTER date correction.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "qdb/rewrite.h"
#include "qdb/writer.h"
#include "support/failing_file_system.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::FailingFileSystem;
using testing_support::InstalledFileSystem;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

constexpr float kKeep = qdb::kKeepValue;
constexpr int kFirstDate = 25;
constexpr int kLastDate = 29;
using Bars = std::vector<qdb::QuoteBar>;

qdb::DateSerial jan(int d) { return qdb::date_serial(2000, 1, d); }

// Monday 3 January 2000 to Monday 10 January 2000, weekdays only.
Bars week_of_quotes() {
  Bars bars;
  float base = 10.0f;
  for (int d : {3, 4, 5, 6, 7, 10}) {
    qdb::QuoteBar bar;
    bar.date = jan(d);
    bar.open = base;
    bar.high = base + 2.0f;
    bar.low = base - 1.0f;
    bar.close = base + 1.0f;
    bar.volume = 1000.0f * d;
    bar.oi = 50.0f + d;
    bars.push_back(bar);
    base += 1.0f;
  }
  return bars;
}

std::string cell_text(const qdb::MbfReal& cell) {
  return std::string(reinterpret_cast<const char*>(cell.bytes), 4);
}
std::string date_cell(qdb::DateSerial serial) { return cell_text(qdb::date_to_mbf(serial)); }

// The data file the writer makes from bars: what a rewrite must produce byte for byte.
std::string data_file_of(const Bars& bars, int record_length = 28) {
  TempDir other;
  EXPECT_TRUE(qdb::write_data_file(other.dir(), 1, bars, qdb::default_layout(record_length),
                                   record_length));
  return read_bytes(other.path() / "F1.DAT");
}

// A portfolio holding TEST in F1.DAT and OTHER (the same quotes) in F2.DAT.
class Portfolio {
 public:
  explicit Portfolio(Bars bars, int record_length = 28) : m_bars(std::move(bars)) {
    EXPECT_TRUE(qdb::create_portfolio(dir()));
    for (int n : {1, 2}) {
      EXPECT_TRUE(qdb::write_data_file(dir(), n, m_bars, qdb::default_layout(record_length),
                                       record_length));
      EXPECT_TRUE(qdb::append_master_record(
          dir(),
          qdb::make_master_record(n, n == 1 ? "TEST" : "OTHER", "ISSUE", record_length,
                                  record_length / 4, m_bars.front().date, m_bars.back().date)));
    }
    snapshot();
  }

  // The status of the rewrite; its cause stays in last_cause().
  qdb::StatusCode run(qdb::SeriesOp op, qdb::DateSerial first, qdb::DateSerial last,
                      std::vector<float> values = {}, const char* key = "TEST") {
    qdb::SeriesEditRequest request;
    std::copy(values.begin(), values.end(), request.values);
    request.first_date = first;
    request.last_date = last;
    request.op = op;
    const qdb::Result<void> done = qdb::rewrite_series(request, dir(), key, dir() + m_master_name,
                                                       static_cast<int>(m_bars.size()));
    m_last_cause = done ? std::string() : done.error().cause;
    return done.status();
  }
  const std::string& last_cause() const { return m_last_cause; }

  // Takes the files as they are now as the state that failures must leave.
  void snapshot() {
    m_data_before = data();
    m_master_before = master();
  }
  std::string dir() const { return m_tmp.dir(); }
  const fs::path& path() const { return m_tmp.path(); }
  std::string data() const { return read_bytes(path() / m_data_name); }
  std::string master() const { return read_bytes(path() / m_master_name); }
  // The 4 date bytes of MASTER entry (1-based) at offset.
  std::string master_cell(int entry, int offset) const {
    return master().substr(static_cast<std::size_t>(53 * entry + offset), 4);
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path()))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  bool has(const std::string& name) const { return fs::exists(path() / name); }
  void rename_files(const std::string& master_name, const std::string& data_name) {
    fs::rename(path() / m_master_name, path() / master_name);
    fs::rename(path() / m_data_name, path() / data_name);
    m_master_name = master_name;
    m_data_name = data_name;
  }
  // The data file and MASTER are exactly as at the last snapshot, with no temporary left.
  void expect_unchanged() const {
    EXPECT_EQ(data(), m_data_before);
    EXPECT_EQ(master(), m_master_before);
    // No temporary file of any name stays behind.
    for (const std::string& name : names()) {
      EXPECT_EQ(name.find(".NEW"), std::string::npos) << name;
      EXPECT_EQ(name.find(".tmp~"), std::string::npos) << name;
    }
  }
  const Bars& bars() const { return m_bars; }
  const std::string& data_before() const { return m_data_before; }
  const std::string& master_before() const { return m_master_before; }

 private:
  TempDir m_tmp;
  Bars m_bars;
  std::string m_master_name = "MASTER";
  std::string m_data_name = "F1.DAT";
  std::string m_data_before;
  std::string m_master_before;
  std::string m_last_cause;
};

TEST(RewriteSeries, SetAndScaleChangeOnlyTheMappedFieldsOfTheQuotesInRange) {
  struct Case {
    const char* what;
    int record_length;
    qdb::SeriesOp op;
    int first, last;  // January days (0: from the start)
    std::vector<float> values;
    std::function<void(Bars&)> change;
  };
  const Case cases[] = {
      {"set high, close, OI",
       28,
       qdb::kOpSet,
       5,
       5,
       {kKeep, 20.0f, kKeep, 15.5f, kKeep, 7.0f},
       [](Bars& b) { b[2].high = 20.0f, b[2].close = 15.5f, b[2].oi = 7.0f; }},
      // DATE HIGH LOW CLOSE: the OPEN and VOL values have no column to go to.
      {"set without OPEN",
       16,
       qdb::kOpSet,
       4,
       4,
       {99.0f, 30.0f, 5.0f, 25.0f, 1.0f, 1.0f},
       [](Bars& b) { b[1].high = 30.0f, b[1].low = 5.0f, b[1].close = 25.0f; }},
      {"scale up to the last date",
       28,
       qdb::kOpScale,
       0,
       5,
       {0.5f, 0.5f, 0.5f, 0.5f, 2.0f, kKeep},
       [](Bars& b) {
         for (int i = 0; i < 3; ++i) {
           b[i].open *= 0.5f, b[i].high *= 0.5f, b[i].low *= 0.5f, b[i].close *= 0.5f;
           b[i].volume *= 2.0f;
         }
       }},
      {"op 2 scales like op 3",
       28,
       qdb::kOpScale2,
       6,
       7,
       {kKeep, kKeep, kKeep, 3.0f, kKeep, kKeep},
       [](Bars& b) { b[3].close *= 3.0f, b[4].close *= 3.0f; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(week_of_quotes(), c.record_length);
    ASSERT_EQ(p.run(c.op, c.first ? jan(c.first) : 0, jan(c.last), c.values), qdb::kSuccess);
    Bars expected = p.bars();
    c.change(expected);
    EXPECT_EQ(p.data(), data_file_of(expected, c.record_length));
    EXPECT_EQ(read_bytes(p.path() / "F1.BAK"), p.data_before());
    EXPECT_EQ(p.master(), p.master_before());
    EXPECT_EQ(p.names(), (std::vector<std::string>{"F1.BAK", "F1.DAT", "F2.DAT", "MASTER"}));
  }
}

TEST(RewriteSeries, UnchangedCellsAndTrailingBytesKeepTheirStoredBytesExactly) {
  Portfolio p(week_of_quotes());
  // MBF zeros with fraction bytes would come back as four zero bytes if decoded and encoded.
  std::string raw = p.data_before() + "xyz";  // bytes after the last whole record
  const std::string odd_zero("\x12\x34\x56\x00", 4);
  raw.replace(28 * 3 + 24, 4, odd_zero);  // 5 January (the edited quote), OI
  raw.replace(28 * 1 + 24, 4, odd_zero);  // 3 January, OI
  raw.replace(28 * 1 + 4, 4, odd_zero);   // 3 January, OPEN
  raw[5] = '\x7f';                        // header byte past the record count
  write_bytes(p.path() / "F1.DAT", raw);

  ASSERT_EQ(p.run(qdb::kOpSet, jan(5), jan(5), {kKeep, kKeep, kKeep, 99.0f, kKeep, kKeep}),
            qdb::kSuccess);
  std::string expected = raw;
  expected.replace(28 * 3 + 16, 4, cell_text(qdb::to_mbf(99.0f)));
  EXPECT_EQ(p.data(), expected);

  // A scale with keep marks leaves those cells alone too.
  ASSERT_EQ(p.run(qdb::kOpScale, 0, jan(10), {kKeep, 2.0f, kKeep, kKeep, kKeep, kKeep}),
            qdb::kSuccess);
  const std::string data = p.data();
  ASSERT_EQ(data.size(), expected.size());
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (i < 28 || i >= 28 * 7 || i % 28 < 8 || i % 28 >= 12) {
      EXPECT_EQ(data[i], expected[i]) << "byte " << i;
    }
  }
}

TEST(RewriteSeries, DeleteDropsOneQuoteAndCorrectsTheMasterDatesAtTheEnds) {
  Bars twins = week_of_quotes();
  twins.insert(twins.begin() + 3, twins[2]);
  twins[3].close = 77.0f;
  struct Case {
    const char* what;
    Bars bars;
    int index;        // quote deleted (the first of its date)
    int first, last;  // bars whose dates the MASTER holds afterwards
  };
  const Case cases[] = {{"oldest", week_of_quotes(), 0, 1, 5},
                        {"newest", week_of_quotes(), 5, 0, 4},
                        {"middle", week_of_quotes(), 2, 0, 5},
                        {"date held twice", twins, 2, 0, 6},
                        {"only quote", {week_of_quotes()[2]}, 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(c.bars);
    std::string m = p.master();
    if (c.bars.size() == 1) {  // MASTER dates other than the quote's, so the correction shows
      m.replace(53 + kFirstDate, 4, date_cell(jan(3)));
      m.replace(53 + kLastDate, 4, date_cell(jan(10)));
      write_bytes(p.path() / "MASTER", m);
    }
    const qdb::DateSerial date = c.bars[static_cast<std::size_t>(c.index)].date;
    ASSERT_EQ(p.run(qdb::kOpDelete, date, date), qdb::kSuccess);
    Bars expected = c.bars;
    expected.erase(expected.begin() + c.index);
    EXPECT_EQ(p.data(), data_file_of(expected));
    EXPECT_EQ(p.master_cell(1, kFirstDate),
              date_cell(c.bars[static_cast<std::size_t>(c.first)].date));
    EXPECT_EQ(p.master_cell(1, kLastDate),
              date_cell(c.bars[static_cast<std::size_t>(c.last)].date));
    // Only the entry of the file changes, and only when a date at an end moved.
    EXPECT_EQ(p.master().substr(0, 53), m.substr(0, 53));
    EXPECT_EQ(p.master().substr(106), m.substr(106));
    if (p.master() != m && c.bars.size() > 1) {
      EXPECT_EQ(read_bytes(p.path() / "MASTER.BAK"), m);
    }
    EXPECT_EQ(p.has("MASTER.BAK"), c.index == 0 || c.index + 1 == static_cast<int>(c.bars.size()));
  }
}

TEST(RewriteSeries, InsertWritesOneCopyDatedThePreviousWeekday) {
  Bars twins = week_of_quotes();
  twins.insert(twins.begin() + 3, twins[2]);
  struct Case {
    const char* what;
    Bars bars;
    int index;  // quote copied
    qdb::DateSerial copy_date;
  };
  const Case cases[] = {{"Monday", week_of_quotes(), 5, jan(7)},
                        {"Wednesday", week_of_quotes(), 2, jan(4)},
                        {"date held twice", twins, 2, jan(4)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(c.bars);
    const qdb::DateSerial date = c.bars[static_cast<std::size_t>(c.index)].date;
    ASSERT_EQ(p.run(qdb::kOpInsert, date, date), qdb::kSuccess);
    Bars expected = c.bars;
    qdb::QuoteBar copy = expected[static_cast<std::size_t>(c.index)];
    copy.date = c.copy_date;
    expected.insert(expected.begin() + c.index, copy);
    EXPECT_EQ(p.data(), data_file_of(expected));
    EXPECT_EQ(p.master(), p.master_before());
  }
}

TEST(RewriteSeries, RefusalsChangeNothing) {
  qdb::QuoteBar first_day;
  first_day.date = qdb::date_serial(1900, 1, 1);  // the first Monday; no weekday before it
  first_day.close = 1.0f;
  qdb::QuoteBar later_day = first_day;  // ends the file at or above 600000: the long form
  later_day.date = jan(3);
  qdb::QuoteBar new_year_1960 = first_day;  // a Friday; the weekday before it is in 1959
  new_year_1960.date = qdb::date_serial(1960, 1, 1);
  const auto set_master_length = [](Portfolio& p, char length) {
    std::string m = p.master();
    m[53 + 3] = length;
    write_bytes(p.path() / "MASTER", m);
  };
  struct Case {
    const char* what;
    Bars bars;
    std::function<void(Portfolio&)> prepare;
    qdb::SeriesOp op;
    qdb::DateSerial first, last;
    const char* key;
    std::int32_t status;
  };
  const Case cases[] = {
      {"delete of a Saturday", week_of_quotes(), nullptr, qdb::kOpDelete, jan(8), jan(8), "TEST",
       qdb::kDeleteNotFound},
      {"insert without a quote of the first date", week_of_quotes(), nullptr, qdb::kOpInsert,
       jan(8), jan(10), "TEST", qdb::kRecordNotFound},
      {"insert of a copy dated before 1900",
       {first_day, later_day},
       nullptr,
       qdb::kOpInsert,
       first_day.date,
       first_day.date,
       "TEST",
       qdb::kRecordNotFound},
      {"insert of a copy dated before 1960 into a two-digit file",
       {new_year_1960, later_day},
       [&](Portfolio& p) {  // 600101 and 000103: the file reads stored years below 60 as 20xx
         ASSERT_TRUE(qdb::write_data_file(p.dir(), 1, {new_year_1960, later_day},
                                          qdb::default_layout(28), 28, qdb::DateForm::kTwoDigit));
       },
       qdb::kOpInsert,
       new_year_1960.date,
       new_year_1960.date,
       "TEST",
       qdb::kRecordNotFound},
      {"insert into a full count", week_of_quotes(),
       [](Portfolio& p) {  // 65535 records, the most the unsigned 16-bit count holds
         std::string raw = p.data();
         raw[2] = '\xff';
         raw[3] = '\xff';
         write_bytes(p.path() / "F1.DAT", raw);
       },
       qdb::kOpInsert, jan(5), jan(5), "TEST", qdb::kFileWrite},
      {"record length 2", week_of_quotes(), [&](Portfolio& p) { set_master_length(p, 2); },
       qdb::kOpSet, jan(5), jan(5), "TEST", qdb::kLayoutUnknown},
      {"record length 0x90", week_of_quotes(), [&](Portfolio& p) { set_master_length(p, '\x90'); },
       qdb::kOpSet, jan(5), jan(5), "TEST", qdb::kLayoutUnknown},
      {"unknown symbol", week_of_quotes(), nullptr, qdb::kOpSet, jan(5), jan(5), "NOSUCH",
       qdb::kFileNotFound},
      {"missing data file", week_of_quotes(), [](Portfolio& p) { fs::remove(p.path() / "F1.DAT"); },
       qdb::kOpSet, jan(5), jan(5), "TEST", qdb::kFileOpen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(c.bars);
    if (c.prepare) c.prepare(p);
    p.snapshot();
    const auto names = p.names();
    EXPECT_EQ(p.run(c.op, c.first, c.last, {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f}, c.key), c.status);
    p.expect_unchanged();
    // No file appears but, once the data file was read, its backup.
    auto after = p.names();
    if (c.status == qdb::kRecordNotFound || c.status == qdb::kFileWrite ||
        c.status == qdb::kDeleteNotFound)
      std::erase(after, "F1.BAK");
    EXPECT_EQ(after, names);
    if (c.status == qdb::kDeleteNotFound) {
      EXPECT_EQ(p.last_cause(), "failure in delete quote for findrec");
    }
  }
}

TEST(RewriteSeries, FailingStepsLeaveTheDataFileAndMasterAsTheyWere) {
  struct Case {
    const char* what;
    qdb::SeriesOp op;
    int index;  // quote whose date the request names
    void (*arm)(FailingFileSystem&);
    std::int32_t status;
  };
  const Case cases[] = {
      {"create of F1.NEW", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_create(1, "F1.NEW"); },
       qdb::kFileWrite},
      {"first write", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_write(1, "F1.NEW"); },
       qdb::kFileWrite},
      {"fourth write, half done", qdb::kOpScale, 2,
       [](FailingFileSystem& f) { f.fail_write(4, "F1.NEW", 14); }, qdb::kFileWrite},
      {"last write", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_write(7, "F1.NEW"); },
       qdb::kFileWrite},
      {"sync", qdb::kOpInsert, 5, [](FailingFileSystem& f) { f.fail_sync(1, "F1.NEW"); },
       qdb::kFileWrite},
      {"close", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_close(1, "F1.NEW"); },
       qdb::kFileWrite},
      {"rename", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_rename(1, "F1.NEW"); },
       qdb::kFileWrite},
      {"backup", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_create(1, "F1.BAK"); },
       qdb::kFileWrite},
      // A delete of the oldest quote would also move the MASTER first date: it must not
      // when the data file stays as it was.
      {"rename in a delete", qdb::kOpDelete, 0,
       [](FailingFileSystem& f) { f.fail_rename(1, "F1.NEW"); }, qdb::kFileWrite},
      {"write in a delete", qdb::kOpDelete, 5,
       [](FailingFileSystem& f) { f.fail_write(3, "F1.NEW"); }, qdb::kFileWrite},
      // Reads of F1.DAT: two by the backup copy, the header, then the records; the third
      // record comes back short.
      {"short read", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_read(6, "F1.DAT", 10); },
       qdb::kFileRead},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(week_of_quotes());
    FailingFileSystem files;
    c.arm(files);
    const qdb::DateSerial date = p.bars()[static_cast<std::size_t>(c.index)].date;
    std::int32_t status = 0;
    {
      InstalledFileSystem installed(files);
      status = p.run(c.op, date, date, {2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f});
    }
    EXPECT_EQ(files.failures(), 1);
    EXPECT_EQ(status, c.status);
    p.expect_unchanged();
  }
}

// Deleting the oldest quote changes two files: the data file and the MASTER's first date.
// Whichever step fails (the backups, the new files, their writes, syncs, closes and renames,
// every open and read, the neighbouring quote's included), the pass either completes or
// leaves both files as they were and says why.
TEST(RewriteSeries, AFailureAtAnyStepOfATwoFileDeleteLeavesBothFilesAsTheyWere) {
  Portfolio done(week_of_quotes());
  ASSERT_EQ(done.run(qdb::kOpDelete, jan(3), jan(3)), qdb::kSuccess);
  int failed_runs = 0;
  for (const char* kind : {"create", "write", "sync", "close", "rename", "open", "read"}) {
    for (int nth = 1; nth < 80; ++nth) {
      SCOPED_TRACE(std::string(kind) + " #" + std::to_string(nth));
      Portfolio p(week_of_quotes());
      FailingFileSystem files;
      files.fail_step(kind, nth, 3);
      std::int32_t status = 0;
      {
        InstalledFileSystem installed(files);
        status = p.run(qdb::kOpDelete, jan(3), jan(3));
      }
      if (files.failures() == 0) break;
      if (status == qdb::kSuccess) {
        EXPECT_EQ(p.data(), done.data());
        EXPECT_EQ(p.master(), done.master());
      } else {
        ++failed_runs;
        p.expect_unchanged();
      }
    }
  }
  EXPECT_GT(failed_runs, 20);
}

// When the MASTER cannot take its place and the data file cannot be brought back either, the
// pass fails naming the date the MASTER still gives and pointing to the repair.
TEST(RewriteSeries, AStaleMasterDateThatCannotBeUndoneIsNamed) {
  Portfolio p(week_of_quotes());
  FailingFileSystem files;
  files.fail_rename(1, "MASTER.NEW");
  files.fail_create(1, "F1.DAT.tmp~");
  std::int32_t status = 0;
  {
    InstalledFileSystem installed(files);
    status = p.run(qdb::kOpDelete, jan(3), jan(3));
  }
  EXPECT_EQ(status, qdb::kFileWrite);
  EXPECT_NE(p.last_cause().find("MASTER: Input/output error"), std::string::npos);
  EXPECT_NE(p.last_cause().find("still gives 01/03/00 as the first date"), std::string::npos);
  EXPECT_NE(p.last_cause().find("Run repair"), std::string::npos);
  EXPECT_EQ(p.master(), p.master_before());
  EXPECT_EQ(p.data(), data_file_of(Bars(p.bars().begin() + 1, p.bars().end())));
}

TEST(RewriteSeries, NamesAreMatchedWithoutRegardToCaseAndKeptAsTheyAre) {
  Portfolio p(week_of_quotes());
  p.rename_files("master", "f1.dat");
  ASSERT_EQ(p.run(qdb::kOpDelete, jan(3), jan(3)), qdb::kSuccess);
  EXPECT_EQ(p.data(), data_file_of(Bars(p.bars().begin() + 1, p.bars().end())));
  EXPECT_EQ(p.master_cell(1, kFirstDate), date_cell(jan(4)));
  EXPECT_FALSE(p.has("F1.DAT"));
  EXPECT_FALSE(p.has("MASTER"));
}

TEST(SetMasterDate, ChangesTheDateOfTheEntriesOfTheFileOnly) {
  Portfolio p(week_of_quotes());
  ASSERT_TRUE(qdb::append_master_record(p.dir(), qdb::make_directory_record("SUB")));
  std::string before = p.master();
  // The "<DIR>" entry's first byte happens to equal the file number: it is no symbol entry.
  before[53 * 3] = 1;
  write_bytes(p.path() / "MASTER", before);

  EXPECT_TRUE(qdb::set_master_date(p.dir() + "MASTER", qdb::date_to_mbf(jan(20)), 1,
                                   qdb::MasterDate::kLast));
  std::string expected = before;
  expected.replace(53 + kLastDate, 4, date_cell(jan(20)));
  EXPECT_EQ(p.master(), expected);
  EXPECT_EQ(read_bytes(p.path() / "MASTER.BAK"), before);
}

TEST(SetMasterDate, AnswersTheFailingStepAndKeepsTheMasterWhenAStepFails) {
  for (auto arm : {+[](FailingFileSystem& f) { f.fail_open_read(1, "MASTER"); },
                   +[](FailingFileSystem& f) { f.fail_write(2, "MASTER.NEW"); },
                   +[](FailingFileSystem& f) { f.fail_sync(1, "MASTER.NEW"); },
                   +[](FailingFileSystem& f) { f.fail_rename(1, "MASTER.NEW"); }}) {
    Portfolio p(week_of_quotes());
    FailingFileSystem files;
    arm(files);
    InstalledFileSystem installed(files);
    const qdb::Result<void> done = qdb::set_master_date(
        p.dir() + "MASTER", qdb::date_to_mbf(jan(20)), 1, qdb::MasterDate::kFirst);
    ASSERT_FALSE(done);
    EXPECT_EQ(done.status(), qdb::kFileWrite);
    EXPECT_FALSE(done.error().cause.empty());
    EXPECT_EQ(files.failures(), 1);
    p.expect_unchanged();
  }
}

// A vendor's portfolio: lower-case MASTER, "F1.dat", 28-byte records.
TEST(RewriteSeries, EditsARealPortfolioInPlaceTouchingOnlyTheChangedBytes) {
  SKIP_WITHOUT_REAL_PORTFOLIO("hangseng-mini");
  TempDir tmp;
  testing_support::copy_tree(testing_support::real_portfolio("hangseng-mini"), tmp.path());
  const std::string before = read_bytes(tmp.path() / "F1.dat");
  const std::string master_before = read_bytes(tmp.path() / "master");
  const int quotes = static_cast<int>(before.size() / 28) - 1;
  ASSERT_GT(quotes, 3);

  qdb::QuoteSeries series;
  ASSERT_EQ(qdb::series_alloc(series, 1), 0);
  ASSERT_EQ(qdb::read_series(series, tmp.dir(), "HSM__2000V", quotes / 2, 1), 0);
  qdb::SeriesEditRequest request;
  request.values[qdb::kValueClose] = 12345.0f;  // close only
  request.first_date = request.last_date = series.date(0);
  request.op = qdb::kOpSet;
  ASSERT_TRUE(qdb::rewrite_series(request, tmp.dir(), "HSM__2000V", tmp.dir() + "MASTER", quotes));
  const std::string after = read_bytes(tmp.path() / "F1.dat");
  ASSERT_EQ(after.size(), before.size());
  int changed_cells = 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    EXPECT_TRUE(i >= 28 && i % 28 >= 16 && i % 28 < 20) << "byte " << i << " outside a CLOSE cell";
    ++changed_cells;
  }
  EXPECT_GE(changed_cells, 1);
  EXPECT_EQ(read_bytes(tmp.path() / "master"), master_before);
  EXPECT_FALSE(fs::exists(tmp.path() / "F1.DAT"));
  EXPECT_FALSE(fs::exists(tmp.path() / "MASTER"));
  EXPECT_EQ(read_bytes(tmp.path() / "F1.BAK"), before);

  // Deleting that quote again takes out exactly its record and lowers the header's count by one.
  request.op = qdb::kOpDelete;
  ASSERT_TRUE(qdb::rewrite_series(request, tmp.dir(), "HSM__2000V", tmp.dir() + "MASTER", quotes));
  const std::string deleted = read_bytes(tmp.path() / "F1.dat");
  ASSERT_EQ(deleted.size(), after.size() - 28);
  auto r_of = [](const std::string& b) {
    return static_cast<unsigned char>(b[2]) | (static_cast<unsigned char>(b[3]) << 8);
  };
  EXPECT_EQ(r_of(deleted), r_of(after) - 1);
  EXPECT_EQ(deleted.substr(4, 24), after.substr(4, 24));
  std::size_t gone = 28;
  while (gone < deleted.size() && deleted.compare(gone, 28, after, gone, 28) == 0) gone += 28;
  EXPECT_EQ(deleted.substr(gone), after.substr(gone + 28));
}

}  // namespace
