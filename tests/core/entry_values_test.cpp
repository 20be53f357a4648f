#include <gtest/gtest.h>

#include "core/entry_values.h"
#include "qdb/dates.h"

namespace {

TEST(ScanNumber, ReadsTheLongestLeadingDecimalNumber) {
  EXPECT_EQ(core::scan_number("1.2.3"), 1.2f);
  EXPECT_EQ(core::scan_number("  12abc"), 12.0f);
  EXPECT_EQ(core::scan_number(".5"), 0.5f);
  EXPECT_EQ(core::scan_number("-2"), -2.0f);
  EXPECT_EQ(core::scan_number("1e3"), 1000.0f);
  EXPECT_EQ(core::scan_number("1e"), 1.0f);
  EXPECT_EQ(core::scan_number("0.1"), 0.1f);  // the nearest float, as a "%f" scan gives
  for (const char* none : {"", ".", "-", "N/A", "abc", "1e999", "nan", "inf"})
    EXPECT_FALSE(core::scan_number(none).has_value()) << none;
}

TEST(EntryDate, TakesOnlyRealCalendarDatesOfEightOrTenCharacters) {
  const struct {
    const char* text;
    int y, m, d;
  } dates[] = {
      {"01/03/00", 2000, 1, 3},     {"02/29/00", 2000, 2, 29},   {"12/31/99", 1999, 12, 31},
      {"01/01/61", 1961, 1, 1},     {"12/31/60", 1960, 12, 31},  {"12/31/59", 2059, 12, 31},
      {"01/03/2000", 2000, 1, 3},   {"10/01/1928", 1928, 10, 1}, {"01/01/1900", 1900, 1, 1},
      {"12/31/2099", 2099, 12, 31}, {"12/31/1959", 1959, 12, 31}};
  for (const auto& c : dates) {
    EXPECT_EQ(core::entry_date(c.text), qdb::date_serial(c.y, c.m, c.d)) << c.text;
    EXPECT_EQ(core::view_date(c.text), qdb::date_serial(c.y, c.m, c.d)) << c.text;
  }
  for (const char* bad : {"02/29/01", "13/01/00", "00/10/00", "04/31/99", "01/00/00", "1/3/00",
                          "01/03/ 0", "ab/cd/ef", "01/03-00x", "02/29/1900", "12/31/1899",
                          "01/01/2100", "01/03/200", "01/03/20000", "01/03/ 2000"})
    EXPECT_EQ(core::entry_date(bad), 0) << bad;
}

}  // namespace
