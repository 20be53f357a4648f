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

TEST(EntryDate, TakesOnlyRealCalendarDatesOfEightCharacters) {
  EXPECT_EQ(core::entry_date("01/03/00"), qdb::date_serial(2000, 1, 3));
  EXPECT_EQ(core::entry_date("02/29/00"), qdb::date_serial(2000, 2, 29));
  EXPECT_EQ(core::entry_date("12/31/99"), qdb::date_serial(1999, 12, 31));
  EXPECT_EQ(core::entry_date("01/01/61"), 1);
  for (const char* bad : {"02/29/01", "13/01/00", "00/10/00", "04/31/99", "01/00/00", "1/3/00",
                          "01/03/ 0", "01/03/2000", "12/31/60", "ab/cd/ef", "01/03-00x"})
    EXPECT_EQ(core::entry_date(bad), 0) << bad;
}

}  // namespace
