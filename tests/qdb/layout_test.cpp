// Column layouts from DOP files and from record lengths.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "qdb/layout.h"
#include "qdb/writer.h"
#include "read_fixture_builder.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

using read_fixtures::dat;
using read_fixtures::write_file;
using testing_support::TempDir;

namespace {

qdb::SeriesLayout parse(const std::string& text) {
  qdb::SeriesLayout layout;
  qdb::parse_dop_text(text, layout);
  return layout;
}

std::vector<int> columns(const qdb::SeriesLayout& l) {
  return std::vector<int>(std::begin(l.column), std::end(l.column));
}

bool all_zero(const qdb::SeriesLayout& l) {
  for (int f = 0; f < 8; ++f) {
    if (l.column[f] || l.input_format[f] || l.display_format[f]) return false;
  }
  return true;
}

qdb::StatusCode layout_of(const TempDir& dir, int record_length, qdb::SeriesLayout& layout) {
  return qdb::read_layout(dir.dir() + "F1.DOP", layout, record_length);
}

}  // namespace

// Comments, blanks before a line, "Date time", "Open Interest", short and long lines are in
// the golden odd DOP file below; these are the cases it leaves out.
TEST(DopText, PrefixesRepeatsSignedNumbersAndCutLines) {
  // Close Price counts as CLOSE, Volume as VOL; an unknown keyword takes no column; a keyword
  // listed twice keeps its last column and formats, both lines taking one.
  const auto l = parse(
      "\"DATE\",0,0\n\"UNKNOWN\",9,9\n\"Close "
      "Price\",-5,-3\r\n\"Volume\",+12x,-0\n\"CLOSE\",2,3\n");
  EXPECT_EQ(columns(l), (std::vector<int>{1, 0, 0, 0, 0, 4, 3, 0}));
  EXPECT_EQ(l.input_format[qdb::kClose] * 10 + l.display_format[qdb::kClose], 23);
  EXPECT_EQ(l.input_format[qdb::kVol], 12);
  EXPECT_EQ(l.display_format[qdb::kVol], 0);
  // A line of more than 299 characters is read in pieces, each taken as a line: the piece
  // after the cut starts a line of its own.
  const auto cut = parse("\"" + std::string(298, 'X') + "\"DATE\",1,1\n");
  EXPECT_EQ(cut.column[qdb::kDate], 1);
}

TEST(ReadLayout, GoldenOddDopFile) {
  qdb::SeriesLayout l;
  const std::string dir = testing_support::test_data("read/broken/odd_dop/").string();
  ASSERT_EQ(qdb::read_layout(dir + "F1.DOP", l, 28), 0);
  EXPECT_EQ(columns(l), (std::vector<int>{1, 0, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(std::vector<int>(std::begin(l.input_format), std::end(l.input_format)),
            (std::vector<int>{-1, 0, 1, 0, 3, 0, 1000, -7}));
  EXPECT_EQ(std::vector<int>(std::begin(l.display_format), std::end(l.display_format)),
            (std::vector<int>{-2, 0, 2, 0, 0, 4, 100, 5}));
}

TEST(ReadLayout, DefaultsFollowTheRecordLength) {
  TempDir dir;  // no DOP and no data file
  const std::pair<int, std::vector<int>> usable[] = {{12, {1, 0, 0, 0, 0, 2, 3, 0}},
                                                     {16, {1, 0, 0, 2, 3, 4, 0, 0}},
                                                     {18, {1, 0, 0, 0, 0, 2, 0, 0}},
                                                     {24, {1, 0, 2, 3, 4, 5, 6, 0}},
                                                     {28, {1, 0, 2, 3, 4, 5, 6, 7}}};
  qdb::SeriesLayout l;
  for (const auto& [length, expected] : usable) {
    ASSERT_EQ(layout_of(dir, length, l), 0) << length;
    EXPECT_EQ(columns(l), expected) << length;
    for (int f = 0; f < 8; ++f) EXPECT_EQ(l.input_format[f] | l.display_format[f], 0);
    EXPECT_EQ(columns(qdb::default_layout(length)), expected) << "the writer's layout";
  }
  EXPECT_EQ(columns(qdb::default_layout(20)), (std::vector<int>{1, 0, 2, 3, 4, 5, 0, 0}));
  for (int length : {8, 32, 0, 3, -1, 127, 20}) {  // 20: no data file to probe
    l.column[0] = 9;
    EXPECT_EQ(layout_of(dir, length, l), qdb::kLayoutUnknown) << length;
    EXPECT_TRUE(all_zero(l)) << length;
    EXPECT_TRUE(length == 20 || qdb::default_layout(length).column[qdb::kDate] == 0) << length;
  }
}

TEST(ReadLayout, TwentyByteProbeTellsOpenFromVolume) {
  const std::vector<int> with_open{1, 0, 2, 3, 4, 5, 0, 0};
  const std::vector<int> with_vol{1, 0, 0, 2, 3, 4, 5, 0};
  // A header whose second and fifth cells look like prices (a record count of 1: no quote follows).
  std::string price_header = dat(20, {{0.f, 10.f, 0.f, 0.f, 12.f}}).substr(20);
  price_header.replace(2, 2, std::string("\x01\x00", 2));
  const struct {
    const char* what;
    const char* name;
    std::string bytes;
    std::vector<int> expected;
  } cases[] = {
      {"fifth column close to the second: a price", "F1.DAT",
       dat(20, {{1000103.f, 10.f, 11.f, 9.f, 10.5f}}), with_open},
      {"fifth column zero: a volume", "F1.DAT", dat(20, {{1000103.f, 10.f, 11.f, 9.f, 0.f}}),
       with_vol},
      {"fifth more than twice the second: a volume", "F1.DAT",
       dat(20, {{1000103.f, 10.f, 9.f, 9.5f, 20.5f}}), with_vol},
      {"no quote, zero header: a volume", "f1.dat", dat(20, {}), with_vol},
      {"no quote, header of prices", "f1.dat", price_header, with_open},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    write_file(dir.path() / c.name, c.bytes);
    qdb::SeriesLayout l;
    ASSERT_EQ(layout_of(dir, 20, l), 0);
    EXPECT_EQ(columns(l), c.expected);
  }
}

TEST(ReadLayout, DopNameMatchesWithoutRegardToCaseAndBoundsAreChecked) {
  TempDir dir;
  qdb::SeriesLayout l;
  write_file(dir.path() / "f1.dop", "\"DATE\",0,0\n\"CLOSE\",2,2\n");
  ASSERT_EQ(layout_of(dir, 8, l), 0) << "a DOP makes any record length of its columns usable";
  EXPECT_EQ(columns(l), (std::vector<int>{1, 0, 0, 0, 0, 2, 0, 0}));
  // A column past the end of the record, or a record too short for one cell.
  EXPECT_EQ(layout_of(dir, 7, l), qdb::kLayoutUnknown);
  EXPECT_TRUE(all_zero(l));
  EXPECT_EQ(layout_of(dir, 3, l), qdb::kLayoutUnknown);
  EXPECT_EQ(layout_of(dir, -1, l), qdb::kLayoutUnknown);
  // A DOP without a DATE line cannot give dates: refused.
  write_file(dir.path() / "f1.dop", "\"TIME\",0,0\n\"CLOSE\",2,2\n");
  EXPECT_EQ(layout_of(dir, 28, l), qdb::kLayoutUnknown);
  // An empty DOP opens, but lists nothing.
  write_file(dir.path() / "f1.dop", "");
  EXPECT_EQ(layout_of(dir, 28, l), qdb::kLayoutUnknown);
}

TEST(ReadLayout, RealDopFilesOfMininge) {
  SKIP_WITHOUT_REAL_PORTFOLIO("mininge");
  const std::string dir = testing_support::real_portfolio("mininge").string() + "/";
  qdb::SeriesLayout l;
  ASSERT_EQ(qdb::read_layout(dir + "F1.DOP", l, 24), 0);
  EXPECT_EQ(columns(l), (std::vector<int>{1, 0, 2, 3, 4, 5, 6, 0}));
  EXPECT_EQ(l.input_format[qdb::kVol], 1000);
  EXPECT_EQ(l.display_format[qdb::kVol], 1000);
  EXPECT_EQ(l.display_format[qdb::kClose], 2);
}
