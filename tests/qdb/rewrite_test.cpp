#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "qdb/notifier.h"
#include "qdb/rewrite.h"
#include "qdb/writer.h"
#include "support/failing_file_system.h"
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

std::uint16_t jan(int d) { return qdb::date_serial(2000, 1, d); }

// Monday 3 January 2000 to Monday 10 January 2000, weekdays only.
std::vector<qdb::QuoteBar> week_of_quotes() {
  std::vector<qdb::QuoteBar> bars;
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

std::string date_cell(std::uint16_t serial) { return cell_text(qdb::date_to_mbf(serial)); }

// The data file the writer makes from bars: what a rewrite must produce byte for byte.
std::string data_file_of(const std::vector<qdb::QuoteBar>& bars, int record_length) {
  TempDir other;
  EXPECT_TRUE(qdb::write_data_file(other.dir(), 1, bars, qdb::default_layout(record_length),
                                   record_length));
  return read_bytes(other.path() / "F1.DAT");
}

// A portfolio holding TEST in F1.DAT and OTHER (the same quotes) in F2.DAT.
class Portfolio {
 public:
  explicit Portfolio(std::vector<qdb::QuoteBar> bars, int record_length = 28)
      : m_bars(std::move(bars)), m_length(record_length) {
    EXPECT_TRUE(qdb::create_portfolio(dir()));
    const qdb::SeriesLayout layout = qdb::default_layout(record_length);
    for (int n : {1, 2}) {
      EXPECT_TRUE(qdb::write_data_file(dir(), n, m_bars, layout, record_length));
      EXPECT_TRUE(qdb::append_master_record(
          dir(), qdb::make_master_record(n, n == 1 ? "TEST" : "OTHER", n == 1 ? "TEST ISSUE" : "OTHER ISSUE",
                                         record_length, record_length / 4, m_bars.front().date,
                                         m_bars.back().date)));
    }
    m_data_before = data();
    m_master_before = master();
  }

  std::int32_t run(qdb::SeriesOp op, std::uint16_t first, std::uint16_t last,
                   std::vector<float> values = {}) {
    qdb::SeriesEditRequest request;
    for (std::size_t i = 0; i < values.size() && i < 6; ++i) request.values[i] = values[i];
    request.first_date = first;
    request.last_date = last;
    request.op = op;
    return qdb::rewrite_series(request, dir(), "TEST", dir() + m_master_name,
                               static_cast<int>(m_bars.size()));
  }

  std::string dir() const { return m_tmp.dir(); }
  const fs::path& path() const { return m_tmp.path(); }
  std::string data() const { return read_bytes(path() / m_data_name); }
  std::string master() const { return read_bytes(path() / m_master_name); }
  // The 4 date bytes of MASTER entry (1-based) at offset.
  std::string master_cell(int entry, int offset) const { return master().substr(53 * entry + offset, 4); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(path())) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  bool has(const std::string& name) const { return fs::exists(path() / name); }
  // The file names are taken as they are on disk (tests rename them to other cases).
  void rename_files(const std::string& master_name, const std::string& data_name) {
    fs::rename(path() / m_master_name, path() / master_name);
    fs::rename(path() / m_data_name, path() / data_name);
    m_master_name = master_name;
    m_data_name = data_name;
  }
  // The data file and MASTER are exactly as before the test's rewrite.
  void expect_unchanged() const {
    EXPECT_EQ(data(), m_data_before);
    EXPECT_EQ(master(), m_master_before);
    EXPECT_FALSE(has("F1.NEW"));
    EXPECT_FALSE(has("MASTER.NEW"));
  }

  const std::vector<qdb::QuoteBar>& bars() const { return m_bars; }
  int length() const { return m_length; }
  const std::string& data_before() const { return m_data_before; }
  const std::string& master_before() const { return m_master_before; }

 private:
  TempDir m_tmp;
  std::vector<qdb::QuoteBar> m_bars;
  int m_length;
  std::string m_master_name = "MASTER";
  std::string m_data_name = "F1.DAT";
  std::string m_data_before;
  std::string m_master_before;
};

// Collects what the library sends through its notifier while the object lives.
class NotifierCapture {
 public:
  NotifierCapture()
      : m_previous(qdb::set_notifier([this](const std::string& m) { m_messages.push_back(m); })) {}
  ~NotifierCapture() { qdb::set_notifier(m_previous); }
  const std::vector<std::string>& messages() const { return m_messages; }

 private:
  std::vector<std::string> m_messages;
  qdb::Notifier m_previous;
};

TEST(RewriteSeries, SetChangesOnlyTheMappedFieldsOfTheQuotesOfTheDate) {
  Portfolio p(week_of_quotes());
  ASSERT_EQ(p.run(qdb::kOpSet, jan(5), jan(5), {kKeep, 20.0f, kKeep, 15.5f, kKeep, 7.0f}), 0);
  auto expected = p.bars();
  expected[2].high = 20.0f;
  expected[2].close = 15.5f;
  expected[2].oi = 7.0f;
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
  EXPECT_EQ(read_bytes(p.path() / "F1.BAK"), p.data_before());
  EXPECT_EQ(p.master(), p.master_before());
  EXPECT_EQ(p.names(), (std::vector<std::string>{"F1.BAK", "F1.DAT", "F2.DAT", "MASTER"}));
}

TEST(RewriteSeries, UnchangedCellsKeepTheirStoredBytesExactly) {
  Portfolio p(week_of_quotes());
  // MBF zeros with fraction bytes would come back as four zero bytes if decoded and encoded.
  std::string raw = p.data_before();
  const std::string odd_zero("\x12\x34\x56\x00", 4);
  raw.replace(28 * 3 + 24, 4, odd_zero);  // 5 January (the edited quote), OI
  raw.replace(28 * 1 + 24, 4, odd_zero);  // 3 January, OI
  raw.replace(28 * 1 + 4, 4, odd_zero);   // 3 January, OPEN
  raw[5] = '\x7f';                        // header byte past R
  write_bytes(p.path() / "F1.DAT", raw);

  ASSERT_EQ(p.run(qdb::kOpSet, jan(5), jan(5), {kKeep, kKeep, kKeep, 99.0f, kKeep, kKeep}), 0);
  std::string expected = raw;
  expected.replace(28 * 3 + 16, 4, cell_text(qdb::to_mbf(99.0f)));
  EXPECT_EQ(p.data(), expected);

  // A scale with keep marks leaves those cells alone too.
  ASSERT_EQ(p.run(qdb::kOpScale, 0, jan(10), {kKeep, 2.0f, kKeep, kKeep, kKeep, kKeep}), 0);
  std::string data = p.data();
  for (int q = 1; q <= 6; ++q) {
    for (int c : {0, 1, 3, 4, 5, 6}) {
      EXPECT_EQ(data.substr(28 * q + 4 * c, 4), expected.substr(28 * q + 4 * c, 4)) << q << " " << c;
    }
  }
}

TEST(RewriteSeries, ScaleMultipliesEveryQuoteUpToTheLastDate) {
  Portfolio p(week_of_quotes());
  ASSERT_EQ(p.run(qdb::kOpScale, 0, jan(5), {0.5f, 0.5f, 0.5f, 0.5f, 2.0f, kKeep}), 0);
  auto expected = p.bars();
  for (int i = 0; i < 3; ++i) {
    expected[i].open *= 0.5f;
    expected[i].high *= 0.5f;
    expected[i].low *= 0.5f;
    expected[i].close *= 0.5f;
    expected[i].volume *= 2.0f;
  }
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
}

TEST(RewriteSeries, ASetOnALayoutWithoutOpenKeepsTheRecordLayout) {
  Portfolio p(week_of_quotes(), 16);  // DATE HIGH LOW CLOSE
  ASSERT_EQ(p.run(qdb::kOpSet, jan(4), jan(4), {99.0f, 30.0f, 5.0f, 25.0f, 1.0f, 1.0f}), 0);
  auto expected = p.bars();
  expected[1].high = 30.0f;
  expected[1].low = 5.0f;
  expected[1].close = 25.0f;
  EXPECT_EQ(p.data(), data_file_of(expected, 16));
  EXPECT_EQ(p.data().size(), p.data_before().size());
}

TEST(RewriteSeries, DeleteDropsTheQuoteAndCorrectsTheMasterDatesAtTheEnds) {
  struct Case {
    const char* what;
    int index;
    int first;  // bar whose date the MASTER first date holds afterwards
    int last;
  };
  for (const Case& c : {Case{"oldest", 0, 1, 5}, Case{"newest", 5, 0, 4}, Case{"middle", 2, 0, 5}}) {
    SCOPED_TRACE(c.what);
    Portfolio p(week_of_quotes());
    ASSERT_EQ(p.run(qdb::kOpDelete, p.bars()[c.index].date, p.bars()[c.index].date), 0);
    auto expected = p.bars();
    expected.erase(expected.begin() + c.index);
    EXPECT_EQ(p.data(), data_file_of(expected, 28));
    EXPECT_EQ(p.master_cell(1, kFirstDate), date_cell(p.bars()[c.first].date));
    EXPECT_EQ(p.master_cell(1, kLastDate), date_cell(p.bars()[c.last].date));
    // Only the entry of the file changes.
    EXPECT_EQ(p.master().substr(0, 53), p.master_before().substr(0, 53));
    EXPECT_EQ(p.master().substr(106), p.master_before().substr(106));
    if (c.index == 2) {
      EXPECT_EQ(p.master(), p.master_before());
    } else {
      EXPECT_EQ(read_bytes(p.path() / "MASTER.BAK"), p.master_before());
    }
  }
}

TEST(RewriteSeries, DeletingTheOnlyQuoteSetsBothMasterDatesToItsDate) {
  qdb::QuoteBar only = week_of_quotes()[2];
  Portfolio p({only});
  // A MASTER whose dates differ from the quote's, so the correction shows.
  std::string m = p.master();
  m.replace(53 + kFirstDate, 4, date_cell(jan(3)));
  m.replace(53 + kLastDate, 4, date_cell(jan(10)));
  write_bytes(p.path() / "MASTER", m);
  ASSERT_EQ(p.run(qdb::kOpDelete, only.date, only.date), 0);
  EXPECT_EQ(p.data(), data_file_of({}, 28));
  EXPECT_EQ(p.master_cell(1, kFirstDate), date_cell(only.date));
  EXPECT_EQ(p.master_cell(1, kLastDate), date_cell(only.date));
}

TEST(RewriteSeries, DeleteOfADateWithoutQuoteChangesNothingAndTellsSo) {
  Portfolio p(week_of_quotes());
  NotifierCapture notes;
  EXPECT_EQ(p.run(qdb::kOpDelete, jan(8), jan(8)), -200);  // a Saturday
  EXPECT_EQ(notes.messages(), std::vector<std::string>{"failure in delete quote for findrec"});
  p.expect_unchanged();
}

TEST(RewriteSeries, DeleteOfADateHeldTwiceDropsOnlyTheFirst) {
  auto bars = week_of_quotes();
  qdb::QuoteBar twin = bars[2];
  twin.close = 77.0f;
  bars.insert(bars.begin() + 3, twin);
  Portfolio p(bars);
  ASSERT_EQ(p.run(qdb::kOpDelete, jan(5), jan(5)), 0);
  auto expected = bars;
  expected.erase(expected.begin() + 2);
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
}

TEST(RewriteSeries, InsertWritesOneCopyDatedThePreviousWeekday) {
  struct Case {
    const char* what;
    int index;              // quote copied
    std::uint16_t copy_date;
  };
  for (const Case& c : {Case{"Monday", 5, jan(7)}, Case{"Wednesday", 2, jan(4)}}) {
    SCOPED_TRACE(c.what);
    Portfolio p(week_of_quotes());
    const std::uint16_t date = p.bars()[c.index].date;
    ASSERT_EQ(p.run(qdb::kOpInsert, date, date), 0);
    auto expected = p.bars();
    qdb::QuoteBar copy = expected[c.index];
    copy.date = c.copy_date;
    expected.insert(expected.begin() + c.index, copy);
    EXPECT_EQ(p.data(), data_file_of(expected, 28));
    EXPECT_EQ(p.master(), p.master_before());
  }
}

TEST(RewriteSeries, InsertCopiesOnlyOnceWhenTheDateIsHeldTwice) {
  auto bars = week_of_quotes();
  bars.insert(bars.begin() + 3, bars[2]);
  Portfolio p(bars);
  ASSERT_EQ(p.run(qdb::kOpInsert, jan(5), jan(5)), 0);
  auto expected = bars;
  qdb::QuoteBar copy = bars[2];
  copy.date = jan(4);
  expected.insert(expected.begin() + 2, copy);
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
}

TEST(RewriteSeries, InsertWithoutAQuoteOfTheDateChangesNothing) {
  Portfolio p(week_of_quotes());
  // A range holding quotes but no quote of its first date.
  EXPECT_EQ(p.run(qdb::kOpInsert, jan(8), jan(10)), -9);
  p.expect_unchanged();
}

TEST(RewriteSeries, FailingStepsLeaveTheDataFileAndMasterAsTheyWere) {
  struct Case {
    const char* what;
    qdb::SeriesOp op;
    int index;  // quote whose date the request names
    void (*arm)(FailingFileSystem&);
  };
  const Case cases[] = {
      {"create of F1.NEW", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_create(1, "F1.NEW"); }},
      {"first write", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_write(1, "F1.NEW"); }},
      {"fourth write, half done", qdb::kOpScale, 2,
       [](FailingFileSystem& f) { f.fail_write(4, "F1.NEW", 14); }},
      {"last write", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_write(7, "F1.NEW"); }},
      {"sync", qdb::kOpInsert, 5, [](FailingFileSystem& f) { f.fail_sync(1, "F1.NEW"); }},
      {"close", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_close(1, "F1.NEW"); }},
      {"rename", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_rename(1, "F1.NEW"); }},
      {"backup", qdb::kOpSet, 2, [](FailingFileSystem& f) { f.fail_create(1, "F1.BAK"); }},
      // A delete of the oldest quote would also move the MASTER first date: it must not
      // when the data file stays as it was.
      {"rename in a delete", qdb::kOpDelete, 0, [](FailingFileSystem& f) { f.fail_rename(1, "F1.NEW"); }},
      {"write in a delete", qdb::kOpDelete, 5, [](FailingFileSystem& f) { f.fail_write(3, "F1.NEW"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Portfolio p(week_of_quotes());
    FailingFileSystem files;
    c.arm(files);
    const std::uint16_t date = p.bars()[c.index].date;
    std::int32_t status = 0;
    {
      InstalledFileSystem installed(files);
      status = p.run(c.op, date, date, {2.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f});
    }
    EXPECT_EQ(files.failures(), 1);
    EXPECT_EQ(status, -5);
    p.expect_unchanged();
  }
}

TEST(RewriteSeries, AFailedMasterCorrectionLeavesTheMasterWhole) {
  for (const char* step : {"create", "rename"}) {
    SCOPED_TRACE(step);
    Portfolio p(week_of_quotes());
    FailingFileSystem files;
    if (std::string(step) == "create") files.fail_create(1, "MASTER.NEW");
    else files.fail_rename(1, "MASTER.NEW");
    std::int32_t status = 0;
    {
      InstalledFileSystem installed(files);
      status = p.run(qdb::kOpDelete, jan(3), jan(3));
    }
    // The quote is gone; the MASTER keeps its old (now too early) first date, whole.
    EXPECT_EQ(status, 0);
    auto expected = p.bars();
    expected.erase(expected.begin());
    EXPECT_EQ(p.data(), data_file_of(expected, 28));
    EXPECT_EQ(p.master(), p.master_before());
    EXPECT_FALSE(p.has("MASTER.NEW"));
  }
}

TEST(RewriteSeries, NamesAreMatchedWithoutRegardToCaseAndKeptAsTheyAre) {
  Portfolio p(week_of_quotes());
  p.rename_files("master", "f1.dat");
  ASSERT_EQ(p.run(qdb::kOpDelete, jan(3), jan(3)), 0);
  auto expected = p.bars();
  expected.erase(expected.begin());
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
  EXPECT_EQ(p.master_cell(1, kFirstDate), date_cell(jan(4)));
  const auto names = p.names();
  EXPECT_EQ(std::count(names.begin(), names.end(), "F1.DAT"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "MASTER"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "f1.dat"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "master"), 1);
}

TEST(RewriteSeries, LookupAndLayoutFailuresTouchNothing) {
  Portfolio p(week_of_quotes());
  qdb::SeriesEditRequest request;
  request.op = qdb::kOpSet;
  EXPECT_EQ(qdb::rewrite_series(request, p.dir(), "NOSUCH", p.dir() + "MASTER", 6), -8);
  fs::remove(p.path() / "F1.DAT");
  EXPECT_EQ(qdb::rewrite_series(request, p.dir(), "TEST", p.dir() + "MASTER", 6), -2);
  EXPECT_EQ(p.names(), (std::vector<std::string>{"F2.DAT", "MASTER"}));
}

TEST(RewriteSeries, BytesAfterTheLastWholeRecordAreKept) {
  Portfolio p(week_of_quotes());
  write_bytes(p.path() / "F1.DAT", p.data_before() + "xyz");
  ASSERT_EQ(p.run(qdb::kOpSet, jan(10), jan(10), {kKeep, kKeep, kKeep, 1.0f, kKeep, kKeep}), 0);
  std::string expected = p.data_before() + "xyz";
  expected.replace(28 * 6 + 16, 4, cell_text(qdb::to_mbf(1.0f)));
  EXPECT_EQ(p.data(), expected);
}

TEST(SetMasterDate, ChangesTheDateOfTheEntriesOfTheFileOnly) {
  Portfolio p(week_of_quotes());
  ASSERT_TRUE(qdb::append_master_record(p.dir(), qdb::make_directory_record("SUB")));
  std::string before = p.master();
  // The "<DIR>" entry's first byte happens to equal the file number: it is no symbol entry.
  before[53 * 3] = 1;
  write_bytes(p.path() / "MASTER", before);

  EXPECT_EQ(qdb::set_master_date(p.dir() + "MASTER", qdb::date_to_mbf(jan(20)), 1, qdb::MasterDate::kLast), 0);
  std::string expected = before;
  expected.replace(53 + kLastDate, 4, date_cell(jan(20)));
  EXPECT_EQ(p.master(), expected);
  EXPECT_EQ(read_bytes(p.path() / "MASTER.BAK"), before);
}

TEST(SetMasterDate, AnswersOneAndKeepsTheMasterWhenAStepFails) {
  for (int step = 0; step < 4; ++step) {
    SCOPED_TRACE(step);
    Portfolio p(week_of_quotes());
    FailingFileSystem files;
    if (step == 0) files.fail_open_read(1, "MASTER");
    if (step == 1) files.fail_write(2, "MASTER.NEW");
    if (step == 2) files.fail_sync(1, "MASTER.NEW");
    if (step == 3) files.fail_rename(1, "MASTER.NEW");
    InstalledFileSystem installed(files);
    EXPECT_EQ(qdb::set_master_date(p.dir() + "MASTER", qdb::date_to_mbf(jan(20)), 1,
                                   qdb::MasterDate::kFirst), 1);
    EXPECT_EQ(p.master(), p.master_before());
    EXPECT_FALSE(p.has("MASTER.NEW"));
  }
}

}  // namespace

namespace {

TEST(RewriteSeries, RefusesRecordLengthsTooShortForAQuote) {
  for (std::uint8_t length : {std::uint8_t{2}, std::uint8_t{0x90}}) {
    SCOPED_TRACE(static_cast<int>(length));
    Portfolio p(week_of_quotes());
    std::string m = p.master();
    m[53 + 3] = static_cast<char>(length);
    write_bytes(p.path() / "MASTER", m);
    EXPECT_EQ(p.run(qdb::kOpSet, jan(5), jan(5), {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f}), -100);
    EXPECT_EQ(p.data(), p.data_before());
    EXPECT_EQ(p.names(), (std::vector<std::string>{"F1.DAT", "F2.DAT", "MASTER"}));
  }
}

TEST(RewriteSeries, InsertIntoAFullCountChangesNothing) {
  Portfolio p(week_of_quotes());
  std::string raw = p.data_before();
  raw[2] = '\xff';
  raw[3] = '\x7f';  // R = 32767, the most a 16-bit count holds
  write_bytes(p.path() / "F1.DAT", raw);
  EXPECT_EQ(p.run(qdb::kOpInsert, jan(5), jan(5)), -5);
  EXPECT_EQ(p.data(), raw);
  EXPECT_FALSE(p.has("F1.NEW"));
}

}  // namespace

namespace {

TEST(RewriteSeries, AReadErrorPartWayLeavesTheDataFileAsItWas) {
  Portfolio p(week_of_quotes());
  FailingFileSystem files;
  // Reads of F1.DAT: two by the backup copy, the header, then the records; the third record
  // comes back short.
  files.fail_read(6, "F1.DAT", 10);
  std::int32_t status = 0;
  {
    InstalledFileSystem installed(files);
    status = p.run(qdb::kOpSet, jan(5), jan(5), {1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f});
  }
  EXPECT_EQ(files.failures(), 1);
  EXPECT_EQ(status, -4);
  p.expect_unchanged();
}

}  // namespace

namespace {

TEST(RewriteSeries, OpTwoScalesLikeOpThree) {
  Portfolio p(week_of_quotes());
  ASSERT_EQ(p.run(qdb::kOpScale2, jan(6), jan(7), {kKeep, kKeep, kKeep, 3.0f, kKeep, kKeep}), 0);
  auto expected = p.bars();
  expected[3].close *= 3.0f;
  expected[4].close *= 3.0f;
  EXPECT_EQ(p.data(), data_file_of(expected, 28));
}

TEST(RewriteSeries, InsertRefusesACopyDatedBefore1961) {
  qdb::QuoteBar first;
  first.date = qdb::date_serial(1961, 1, 2);  // the first Monday; no weekday before it
  first.close = 1.0f;
  Portfolio p({first});
  EXPECT_EQ(p.run(qdb::kOpInsert, first.date, first.date), -9);
  p.expect_unchanged();
}

// A vendor's portfolio: lower-case MASTER, "F1.dat", 28-byte records.
TEST(RewriteSeries, EditsARealPortfolioInPlaceTouchingOnlyTheChangedBytes) {
  TempDir tmp;
  testing_support::copy_tree(testing_support::real_portfolio("hangseng-mini"), tmp.path());
  const std::string before = read_bytes(tmp.path() / "F1.dat");
  const std::string master_before = read_bytes(tmp.path() / "master");
  const int quotes = static_cast<int>(before.size() / 28) - 1;
  ASSERT_GT(quotes, 3);

  qdb::QuoteSeries series;
  ASSERT_EQ(qdb::series_alloc(series, 1), 0);
  ASSERT_EQ(qdb::read_series(series, tmp.dir(), "HSM__2000V", quotes / 2, 1), 0);
  const std::uint16_t date = series.date(0);
  qdb::series_free(series);

  qdb::SeriesEditRequest request;
  request.values[3] = 12345.0f;  // close only
  request.first_date = request.last_date = date;
  request.op = qdb::kOpSet;
  ASSERT_EQ(qdb::rewrite_series(request, tmp.dir(), "HSM__2000V", tmp.dir() + "MASTER", quotes), 0);
  const std::string after = read_bytes(tmp.path() / "F1.dat");
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == before[i]) continue;
    EXPECT_TRUE(i >= 28 && i % 28 >= 16 && i % 28 < 20) << "byte " << i << " outside a CLOSE cell";
  }
  int changed_records = 0;
  for (std::size_t at = 28; at + 28 <= after.size(); at += 28) {
    if (after.compare(at + 16, 4, before, at + 16, 4) != 0) ++changed_records;
  }
  EXPECT_GE(changed_records, 1);
  EXPECT_EQ(read_bytes(tmp.path() / "master"), master_before);
  EXPECT_FALSE(fs::exists(tmp.path() / "F1.DAT"));
  EXPECT_FALSE(fs::exists(tmp.path() / "MASTER"));
  EXPECT_EQ(read_bytes(tmp.path() / "F1.BAK"), before);

  // Deleting that quote again takes out exactly its record and lowers R by one.
  request.op = qdb::kOpDelete;
  ASSERT_EQ(qdb::rewrite_series(request, tmp.dir(), "HSM__2000V", tmp.dir() + "MASTER", quotes), 0);
  const std::string deleted = read_bytes(tmp.path() / "F1.dat");
  ASSERT_EQ(deleted.size(), after.size() - 28);
  const int r_before = static_cast<unsigned char>(after[2]) | (static_cast<unsigned char>(after[3]) << 8);
  const int r_after = static_cast<unsigned char>(deleted[2]) | (static_cast<unsigned char>(deleted[3]) << 8);
  EXPECT_EQ(r_after, r_before - 1);
  EXPECT_EQ(deleted.substr(4, 24), after.substr(4, 24));
  std::size_t gone = 28;
  while (gone < deleted.size() && deleted.compare(gone, 28, after, gone, 28) == 0) gone += 28;
  EXPECT_EQ(deleted.substr(gone), after.substr(gone + 28));
}

}  // namespace
