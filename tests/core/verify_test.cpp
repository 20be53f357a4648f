// Verify over small made portfolios: one per kind of finding and a clean one; the mend of
// order, repeats and index dates byte for byte, with a second verify clean of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/verify.h"
#include "core/verify_fix.h"
#include "core/verify_series.h"
#include "qdb/bytes.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/mbf.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using core::FindingKind;

// Monday 6 January 2020.
const qdb::DateSerial kMonday = qdb::date_serial(2020, 1, 6);

// n weekdays from kMonday, closes rising a cent a day from 20, each a day of range 0.4.
std::vector<qdb::QuoteBar> weekdays(int n) {
  std::vector<qdb::QuoteBar> bars;
  qdb::DateSerial date = kMonday;
  for (int i = 0; i < n; ++i, ++date) {
    while (qdb::is_weekend(date)) ++date;
    qdb::QuoteBar bar;
    bar.date = date;
    bar.close = 20.0f + 0.01f * static_cast<float>(i);
    bar.open = bar.close - 0.1f;
    bar.high = bar.close + 0.2f;
    bar.low = bar.close - 0.2f;
    bar.volume = 1000;
    bar.oi = 0;
    bars.push_back(bar);
  }
  return bars;
}

std::vector<core::Finding> verify(const fs::path& dir, qdb::DateSerial today = 0) {
  core::VerifyOptions options;
  options.today = today != 0 ? today : qdb::date_serial(2030, 1, 1);
  std::vector<core::Finding> found;
  const core::VerifySummary summary = core::verify_portfolio(
      dir.string(), options, [&found](const core::Finding& f) { found.push_back(f); });
  EXPECT_TRUE(summary.readable) << summary.failure;
  return found;
}

std::multiset<FindingKind> kinds_of(const std::vector<core::Finding>& findings) {
  std::multiset<FindingKind> kinds;
  for (const core::Finding& f : findings) kinds.insert(f.kind);
  return kinds;
}

void patch(const fs::path& file, std::size_t at, const std::string& bytes) {
  std::string all = testing_support::read_bytes(file);
  all.replace(at, bytes.size(), bytes);
  testing_support::write_bytes(file, all);
}

std::string u16(std::uint16_t v) {
  std::string s(2, '\0');
  qdb::write_u16le(reinterpret_cast<std::uint8_t*>(s.data()), v);
  return s;
}

struct Case {
  const char* name;
  // Changes the 30 clean bars before the portfolio is made.
  std::function<void(std::vector<qdb::QuoteBar>&)> bars;
  // Changes the made portfolio's files.
  std::function<void(const fs::path&)> files;
  std::multiset<FindingKind> expected;
};

TEST(Verify, OneMadeFilePerKindAndACleanOne) {
  const std::vector<Case> cases = {
      {"clean", {}, {}, {}},
      {"out of order", [](auto& b) { std::swap(b[10], b[11]); }, {}, {FindingKind::kOutOfOrder}},
      {"repeated record",
       [](auto& b) { b.insert(b.begin() + 5, b[5]); },
       {},
       {FindingKind::kRepeatedRecord}},
      {"repeated date",
       [](auto& b) {
         b.insert(b.begin() + 5, b[5]);
         b[6].volume = 2000;
       },
       {},
       {FindingKind::kRepeatedDate}},
      {"weekend", [](auto& b) { b[4].date += 1; }, {}, {FindingKind::kWeekend}},
      {"future date",
       [](auto& b) { b.back().date += 399; },
       {},
       {FindingKind::kFutureDate, FindingKind::kGap}},
      {"gap",
       [](auto& b) {
         for (std::size_t i = 20; i < b.size(); ++i) b[i].date += 21;
       },
       {},
       {FindingKind::kGap}},
      {"high below low",
       [](auto& b) { std::swap(b[7].high, b[7].low); },
       {},
       {FindingKind::kHighBelowLow}},
      {"open outside range",
       [](auto& b) { b[7].open = b[7].high + 0.1f; },
       {},
       {FindingKind::kOutsideRange}},
      {"close outside range",
       [](auto& b) { b[7].close = b[7].low - 0.01f; },
       {},
       {FindingKind::kOutsideRange}},
      {"zero price", [](auto& b) { b[7].open = 0; }, {}, {FindingKind::kBadPrice}},
      {"zero volume", [](auto& b) { b[7].volume = 0; }, {}, {FindingKind::kZeroVolume}},
      {"suspect spike",
       [](auto& b) {
         b[15].close = 25;
         b[15].high = 25.2f;
       },
       {},
       {FindingKind::kSuspect}},
      {"split jump",
       [](auto& b) {
         for (std::size_t i = 15; i < b.size(); ++i) {
           b[i].close /= 2;
           b[i].open /= 2;
           b[i].high /= 2;
           b[i].low /= 2;
         }
       },
       {},
       {FindingKind::kSplitJump, FindingKind::kSuspect}},
      {"index date",
       {},
       [](const fs::path& d) {
         const qdb::MbfReal cell = qdb::date_to_mbf(kMonday - 7);
         patch(d / "MASTER", 53 + qdb::master_offset::kFirstDate,
               std::string(reinterpret_cast<const char*>(cell.bytes), 4));
       },
       {FindingKind::kIndexDate}},
      {"index fields",
       {},
       [](const fs::path& d) { patch(d / "MASTER", 53 + qdb::master_offset::kFieldCount, "\x06"); },
       {FindingKind::kIndexFields}},
      {"record length",
       {},
       [](const fs::path& d) {
         testing_support::write_bytes(d / "F1.DAT",
                                      testing_support::read_bytes(d / "F1.DAT") + "junk");
       },
       {FindingKind::kRecordLength}},
      {"header count",
       {},
       [](const fs::path& d) { patch(d / "F1.DAT", 2, u16(40)); },
       {FindingKind::kHeaderCount}},
      {"index count",
       {},
       [](const fs::path& d) {
         std::string emaster(qdb::kEmasterRecordSize, '\0');
         emaster.replace(0, 2, u16(3));
         testing_support::write_bytes(d / "EMASTER", emaster);
       },
       {FindingKind::kIndexCount}},
      {"unreadable",
       {},
       [](const fs::path& d) { fs::remove(d / "F1.DAT"); },
       {FindingKind::kUnreadable}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    std::vector<qdb::QuoteBar> bars = weekdays(30);
    if (c.bars) c.bars(bars);
    testing_support::make_portfolio(dir.path(), {{1, "ACME", "ACME CORP", bars}});
    if (c.files) c.files(dir.path());
    const std::vector<core::Finding> found = verify(dir.path(), qdb::date_serial(2020, 6, 1));
    EXPECT_EQ(kinds_of(found), c.expected);
    for (const core::Finding& f : found) {
      if (f.kind == FindingKind::kIndexCount) continue;  // about the portfolio as a whole
      EXPECT_EQ(f.symbol, "ACME");
      EXPECT_EQ(f.file_number, 1);
    }
  }
}

TEST(Verify, FindingLinesAndKindNamesAreStable) {
  core::Finding f;
  f.portfolio = "/p/";
  f.symbol = "ACME";
  f.date = qdb::date_serial(2020, 1, 7);
  f.seconds = 9 * 3600 + 30 * 60;
  f.kind = FindingKind::kRepeatedRecord;
  f.values = "record 3 repeats record 2";
  EXPECT_EQ(core::finding_line(f, false),
            "ACME\t2020-01-07 09:30:00\trepeated-record\trecord 3 repeats record 2");
  EXPECT_EQ(core::finding_line(f, true).substr(0, 4), "/p/\t");
  f.values = "a, \"b\"";
  EXPECT_EQ(core::finding_csv_line(f),
            "/p/,ACME,0,2020-01-07,09:30:00,repeated-record,order,\"a, \"\"b\"\"\"");
  for (int k = 0; k < core::kFindingKindCount; ++k) {
    const auto kind = static_cast<FindingKind>(k);
    EXPECT_EQ(core::finding_kind_of(core::finding_kind_name(kind)), kind);
  }
  EXPECT_EQ(core::weekdays_between(kMonday, kMonday + 7), 4);  // Tuesday to Friday
}

// Out of order and repeated records, with a stale MASTER date and an XMASTER symbol: the mend
// writes exactly the file the writer makes of the sorted series, keeps the old one as F<n>.BAK,
// and a second verify finds nothing.
TEST(Verify, MendSortsDropsRepeatsAndCorrectsDatesByteForByte) {
  const std::vector<qdb::QuoteBar> clean = weekdays(30);
  std::vector<qdb::QuoteBar> damaged = clean;
  std::swap(damaged[3], damaged[20]);
  damaged.insert(damaged.begin() + 8, damaged[8]);
  damaged.push_back(damaged[0]);
  std::vector<qdb::QuoteBar> extended = clean;
  std::swap(extended.front(), extended.back());

  testing_support::TempDir dir, golden;
  testing_support::make_portfolio(
      dir.path(), {{1, "ACME", "ACME CORP", damaged}, {256, "XTRA", "EXTRA", extended}});
  testing_support::make_portfolio(golden.path(),
                                  {{1, "ACME", "ACME CORP", clean}, {256, "XTRA", "EXTRA", clean}});
  const std::string before = testing_support::read_bytes(dir.path() / "F1.DAT");

  const std::multiset<FindingKind> found = kinds_of(verify(dir.path()));
  EXPECT_GE(found.count(FindingKind::kOutOfOrder), 3u);
  EXPECT_EQ(found.count(FindingKind::kRepeatedRecord), 2u);
  EXPECT_EQ(found.count(FindingKind::kIndexDate), 3u);  // the MASTER's last, both of the XMASTER's

  const core::MendResult plan = core::mend_portfolio(dir.dir(), {}, true);
  EXPECT_EQ(testing_support::read_bytes(dir.path() / "F1.DAT"), before);  // a plan writes nothing
  const core::MendResult mended = core::mend_portfolio(dir.dir(), {}, false);
  ASSERT_TRUE(mended.ok) << mended.failure;
  EXPECT_EQ(mended.changes, plan.changes);
  EXPECT_EQ(mended.changes.front(),
            "F1.DAT (ACME): records sorted into date order, 2 repeated records removed");

  for (const char* name : {"F1.DAT", "F256.MWD", "MASTER", "XMASTER"})
    EXPECT_EQ(testing_support::read_bytes(dir.path() / name),
              testing_support::read_bytes(golden.path() / name))
        << name;
  EXPECT_EQ(testing_support::read_bytes(dir.path() / "F1.BAK"), before);
  EXPECT_TRUE(verify(dir.path()).empty());
  EXPECT_TRUE(core::mend_portfolio(dir.dir(), {}, false).changes.empty());
}

TEST(Verify, AFileWhoseHeaderDisagreesIsNotSortedAndATreeIsWalked) {
  testing_support::TempDir dir;
  std::vector<qdb::QuoteBar> bars = weekdays(10);
  std::swap(bars[2], bars[3]);
  testing_support::make_portfolio(dir.path() / "a", {{1, "ACME", "ACME CORP", bars}});
  testing_support::make_portfolio(dir.path() / "b", {{1, "BETA", "BETA INC", weekdays(10)}});
  patch(dir.path() / "a" / "F1.DAT", 2, u16(30));
  const std::string before = testing_support::read_bytes(dir.path() / "a" / "F1.DAT");
  const core::MendResult mended = core::mend_portfolio((dir.path() / "a").string(), {}, false);
  ASSERT_TRUE(mended.ok);
  ASSERT_EQ(mended.left.size(), 1u);
  EXPECT_EQ(testing_support::read_bytes(dir.path() / "a" / "F1.DAT"), before);

  std::vector<core::Finding> found;
  core::VerifyOptions options;
  options.today = qdb::date_serial(2030, 1, 1);
  const core::VerifySummary summary = core::verify_tree(
      dir.dir(), options, [&found](const core::Finding& f) { found.push_back(f); });
  EXPECT_EQ(summary.symbols, 2);
  EXPECT_EQ(kinds_of(found),
            (std::multiset<FindingKind>{FindingKind::kOutOfOrder, FindingKind::kHeaderCount}));
}

}  // namespace
