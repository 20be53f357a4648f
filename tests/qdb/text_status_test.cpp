// Status texts and the library's small text operations.
#include <gtest/gtest.h>

#include <string>

#include "qdb/status.h"
#include "qdb/text.h"

namespace {

TEST(StatusText, TableEntriesAndUnknownCodes) {
  const char* const texts[] = {"Sucessfull",
                               "Invalid Parm",
                               "File Open",
                               "Malloc",
                               "File Read",
                               "File Write",
                               "File Seek",
                               "File Exists",
                               "File Not Found",
                               "Record Not Found",
                               "No Graphics Found",
                               "No Fonts Found",
                               "Charts Uninitialized",
                               "Max Lines Exceeded",
                               "Max Grids Exceeded"};
  for (int code = 0; code >= -14; --code)
    EXPECT_STREQ(qdb::status_text(code), texts[-code]) << code;
  for (int code : {-15, 1, 14, int{qdb::kLayoutUnknown}, int{qdb::kDeleteNotFound}, -32768})
    EXPECT_STREQ(qdb::status_text(code), "Unknown") << code;
}

TEST(TextOps, TrimPrefixCountAndCase) {
  for (const auto& [in, out] :
       {std::pair{"    ", ""}, {"", ""}, {" A B  ", " A B"}, {"AB\t", "AB\t"}}) {
    std::string text = in;
    EXPECT_EQ(&qdb::trim_right(text), &text);
    EXPECT_EQ(text, out) << "\"" << in << "\"";  // only the space character is a blank
  }
  EXPECT_EQ(qdb::prefix_before("AB XY", ' ', 1), 2);
  EXPECT_EQ(qdb::prefix_before("ABZ", ' ', 1), 3);
  EXPECT_EQ(qdb::prefix_before("AB XY Z", ' ', 2), 5);
  EXPECT_EQ(qdb::prefix_before("AB XY Z", ' ', 3), 7);
  EXPECT_EQ(qdb::prefix_before(" AB", ' ', 1), 0);
  EXPECT_EQ(qdb::prefix_before("", ' ', 1), 0);
  EXPECT_EQ(qdb::count_char("01/03/00", '/'), 2);
  EXPECT_EQ(qdb::count_char(std::string(40000, 'x'), 'x'), 32767);  // saturates, never negative
  EXPECT_TRUE(qdb::equals_ignore_case("f3.dat", "F3.DAT"));
  EXPECT_FALSE(qdb::equals_ignore_case("F3.DAT", "F3.DAT "));
  EXPECT_FALSE(qdb::equals_ignore_case("F3.DAT", "F3.DOP"));
  EXPECT_EQ(qdb::to_upper_ascii("f12.dop-x\xE9"), "F12.DOP-X\xE9");
}

}  // namespace
