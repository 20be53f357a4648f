// Status texts and the library's small text operations.
#include <gtest/gtest.h>

#include <string>

#include "qdb/status.h"
#include "qdb/text.h"

namespace {

TEST(StatusText, TableEntriesAndUnknownCodes) {
  EXPECT_STREQ(qdb::status_text(0), "Sucessfull");
  EXPECT_STREQ(qdb::status_text(-1), "Invalid Parm");
  EXPECT_STREQ(qdb::status_text(qdb::kMalloc), "Malloc");
  EXPECT_STREQ(qdb::status_text(qdb::kFileNotFound), "File Not Found");
  EXPECT_STREQ(qdb::status_text(-12), "Charts Uninitialized");
  EXPECT_STREQ(qdb::status_text(-14), "Max Grids Exceeded");
  for (int code : {-15, 1, 14, int{qdb::kLayoutUnknown}, int{qdb::kDeleteNotFound}, -32768})
    EXPECT_STREQ(qdb::status_text(code), "Unknown") << code;
}

TEST(TextOps, TrimRight) {
  std::string blanks = "    ";
  EXPECT_EQ(qdb::trim_right(blanks), "");
  std::string empty;
  EXPECT_EQ(qdb::trim_right(empty), "");
  std::string inner = " A B  ";
  EXPECT_EQ(&qdb::trim_right(inner), &inner);
  EXPECT_EQ(inner, " A B");
  std::string tab = "AB\t";  // only the space character is a blank
  EXPECT_EQ(qdb::trim_right(tab), "AB\t");
}

TEST(TextOps, PrefixBefore) {
  EXPECT_EQ(qdb::prefix_before("AB XY", ' ', 1), 2);
  EXPECT_EQ(qdb::prefix_before("ABZ", ' ', 1), 3);
  EXPECT_EQ(qdb::prefix_before("AB XY Z", ' ', 2), 5);
  EXPECT_EQ(qdb::prefix_before("AB XY Z", ' ', 3), 7);
  EXPECT_EQ(qdb::prefix_before(" AB", ' ', 1), 0);
  EXPECT_EQ(qdb::prefix_before("", ' ', 1), 0);
}

TEST(TextOps, CountAndCase) {
  EXPECT_EQ(qdb::count_char("01/03/00", '/'), 2);
  EXPECT_EQ(qdb::count_char("", '/'), 0);
  EXPECT_EQ(qdb::count_char(std::string(40000, 'x'), 'x'), 32767);  // saturates, never negative
  EXPECT_TRUE(qdb::equals_ignore_case("f3.dat", "F3.DAT"));
  EXPECT_TRUE(qdb::equals_ignore_case("Master", "MASTER"));
  EXPECT_FALSE(qdb::equals_ignore_case("F3.DAT", "F3.DAT "));
  EXPECT_FALSE(qdb::equals_ignore_case("F3.DAT", "F3.DOP"));
  EXPECT_EQ(qdb::to_upper_ascii("f12.dop-x\xE9"), "F12.DOP-X\xE9");
}

}  // namespace
