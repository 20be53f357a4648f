#include "core/symbol_rows.h"

#include <gtest/gtest.h>

#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::master_entry;
using testing_support::master_header;
using testing_support::record_of;

TEST(SymbolRowTexts, SymbolIsCutAtFirstByteOutsidePrintableRange) {
  EXPECT_EQ(core::grid_symbol_text(record_of(master_entry(1, "BERKSHIRE", "BRK A"))), "BRK");
  std::string bytes = master_entry(2, "NAME", "AB");
  bytes[38] = '\0';
  EXPECT_EQ(core::grid_symbol_text(record_of(bytes)), "AB");
  bytes[38] = static_cast<char>(0x80);
  EXPECT_EQ(core::grid_symbol_text(record_of(bytes)), "AB");
  bytes[38] = 0x7F;  // still a symbol character
  EXPECT_EQ(core::grid_symbol_text(record_of(bytes)).substr(0, 3), "AB\x7F");
}

TEST(SymbolRowTexts, BlankSymbolShowsTheNameWithTrailingBlanks) {
  const auto record = record_of(master_entry(3, "GOLD CORP", ""));
  EXPECT_EQ(core::grid_name_text(record), "GOLD CORP       ");
  EXPECT_EQ(core::grid_symbol_text(record), "GOLD CORP       ");
  std::string zeroed = master_entry(3, "GOLD", "X");
  zeroed[7 + 4] = '\0';
  EXPECT_EQ(core::grid_name_text(record_of(zeroed)), "GOLD");
}

TEST(SymbolRows, SortIsByteWiseAndStable) {
  std::vector<core::SymbolRow> rows = {{"b", "1", 1, 0, false, {}, false, {}},
                                       {"B", "2", 2, 1, false, {}, false, {}},
                                       {"\xC3x", "3", 3, 2, false, {}, false, {}},
                                       {"B", "4", 4, 3, false, {}, false, {}},
                                       {"A", "5", 5, 4, false, {}, false, {}}};
  std::vector<std::string> order;
  for (const auto& row : core::sorted_rows(rows)) order.push_back(row.name);
  EXPECT_EQ(order, (std::vector<std::string>{"5", "2", "4", "1", "3"}));
}

TEST(SymbolRows, ReadsRecordsInFileOrderAndResolvesNameCase) {
  testing_support::TempDir dir;
  std::string bytes = master_header(3) + master_entry(1, "ONE", "ZZZ") +
                      master_entry(2, "TWO", "AAA") + master_entry(3, "THREE", "MMM") + "short";
  testing_support::write_bytes(dir.path() / "master", bytes);
  const auto listing = core::read_master_rows(dir.dir() + "MASTER");
  ASSERT_TRUE(listing.ok);
  EXPECT_EQ(listing.header_count, 3);
  ASSERT_EQ(listing.rows.size(), 3u);
  EXPECT_EQ(listing.rows[0].symbol, "ZZZ");
  EXPECT_EQ(listing.rows[2].file_number, 3);
  EXPECT_EQ(listing.rows[2].file_index, 2);

  EXPECT_EQ(core::read_master_rows(dir.dir() + "MASTER", 2).rows.size(), 2u);

  testing_support::write_bytes(dir.path() / "master", std::string(40, '\0'));
  EXPECT_FALSE(core::read_master_rows(dir.dir() + "MASTER").ok);
  EXPECT_FALSE(core::read_master_rows(dir.dir() + "missing/MASTER").ok);
  // The header count is a signed word: 0xFFFE lists nothing.
  testing_support::write_bytes(dir.path() / "master", master_header(0xFFFE));
  EXPECT_EQ(core::read_master_rows(dir.dir() + "MASTER").header_count, -2);
  EXPECT_TRUE(core::read_master_rows(dir.dir() + "MASTER").rows.empty());
}

}  // namespace
