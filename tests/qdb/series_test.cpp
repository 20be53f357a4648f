// Quote series storage: layout choice, views, row count and row access.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>

#include "qdb/series.h"

namespace {

void expect_all_counts(const qdb::QuoteSeries& s, int n) {
  EXPECT_EQ(s.count, n);
  for (const auto& view : s.column) EXPECT_EQ(view.count, n);
}

qdb::QuoteBar sample_bar(int row) {
  qdb::QuoteBar b;
  b.date = 70000 + row;  // above 16 bits: the serial needs its 32-bit unit
  b.time = static_cast<std::uint16_t>(43199 - row);
  b.open = 1.5f + row;
  b.high = 2.25f + row;
  b.low = 0.75f + row;
  b.close = -1.0f;
  b.volume = 1e6f + row;
  b.oi = 12345.0f;
  return b;
}

bool same_bar(const qdb::QuoteBar& a, const qdb::QuoteBar& b) {
  return a.date == b.date && a.time == b.time && a.open == b.open && a.high == b.high &&
         a.low == b.low && a.close == b.close && a.volume == b.volume && a.oi == b.oi;
}

// The distinct storage blocks of the views, none missing.
std::set<void*> blocks_of(const qdb::QuoteSeries& s) {
  std::set<void*> seen;
  for (const auto& view : s.column) seen.insert(view.storage);
  EXPECT_EQ(seen.count(nullptr), 0u);
  return seen;
}

TEST(SeriesAlloc, PackedUpTo2031RowsSplitFrom2032) {
  qdb::QuoteSeries s;
  s.path = "old";
  ASSERT_EQ(qdb::series_alloc(s, 2031), 0);
  EXPECT_EQ(s.capacity, 2031);
  EXPECT_TRUE(s.path.empty());
  expect_all_counts(s, 2031);
  ASSERT_EQ(blocks_of(s).size(), 1u);
  const auto* bytes = static_cast<const std::uint8_t*>(s.column[qdb::kDate].storage);
  for (int i = 0; i < 2031 * 32; ++i) ASSERT_EQ(bytes[i], 0) << i;
  // Row i occupies bytes 32i..32i+31: date (32 bits), time (16 bits in a 4-byte unit), then
  // the six reals.
  const qdb::QuoteBar b = sample_bar(7);
  s.set_bar(2030, b);
  qdb::DateSerial date;
  std::int32_t seconds;
  float close;
  std::memcpy(&date, bytes + 32 * 2030, 4);
  std::memcpy(&seconds, bytes + 32 * 2030 + 4, 4);
  std::memcpy(&close, bytes + 32 * 2030 + 8 + 3 * 4, 4);
  EXPECT_EQ(date, b.date);
  EXPECT_EQ(seconds, qdb::time_code_seconds(b.time));  // set by its code: the even second
  EXPECT_EQ(close, b.close);
  // A bar whose seconds agree with its code keeps its odd second.
  qdb::QuoteBar odd = b;
  odd.time = qdb::time_code(17, 5, 17);
  odd.seconds = 17 * 3600 + 5 * 60 + 17;
  s.set_bar(2029, odd);
  EXPECT_EQ(s.seconds(2029), odd.seconds);
  EXPECT_EQ(s.time(2029), odd.time);
  EXPECT_EQ(s.bar(2029).seconds, odd.seconds);

  // Each column has its own block.
  ASSERT_EQ(qdb::series_alloc(s, 2032), 0);
  expect_all_counts(s, 2032);
  EXPECT_EQ(blocks_of(s).size(), 8u);
  for (int f = qdb::kDate; f <= qdb::kOi; ++f) {
    const auto* column = static_cast<const std::uint8_t*>(s.column[f].storage);
    for (int i = 0; i < 2032 * 4; ++i) ASSERT_EQ(column[i], 0);
  }
  s.set_bar(2031, b);
  float oi;
  std::memcpy(&oi, static_cast<const std::uint8_t*>(s.column[qdb::kOi].storage) + 4 * 2031, 4);
  EXPECT_EQ(oi, b.oi);
  EXPECT_EQ(s.value(qdb::kDate, 2031), static_cast<float>(b.date));
}

TEST(SeriesAlloc, RowsDoNotOverlapInEitherLayout) {
  for (int capacity : {400, 3000}) {
    qdb::QuoteSeries s;
    ASSERT_EQ(qdb::series_alloc(s, capacity), 0);
    for (int row = 0; row < capacity; ++row) s.set_bar(row, sample_bar(row));
    for (int row = 0; row < capacity; ++row) {
      ASSERT_TRUE(same_bar(s.bar(row), sample_bar(row))) << capacity << " row " << row;
    }
    // Rows outside the storage are never touched.
    s.set_bar(capacity, sample_bar(1));
    s.set_bar(-1, sample_bar(1));
    EXPECT_EQ(s.date(capacity), 0);
    EXPECT_EQ(s.time(-1), 0);
    EXPECT_EQ(s.value(qdb::kClose, capacity + 5), 0.0f);
    EXPECT_TRUE(same_bar(s.bar(0), sample_bar(0)));
  }
}

TEST(SeriesAlloc, CapacityAndCountBounds) {
  for (int capacity : {-1, 65536, 100000}) {
    qdb::QuoteSeries s;
    EXPECT_EQ(qdb::series_alloc(s, capacity), qdb::kMalloc) << capacity;
    EXPECT_EQ(s.capacity, 0);
  }
  qdb::QuoteSeries big;
  EXPECT_EQ(qdb::series_alloc(big, 65535), 0);  // every quote a header can count
  EXPECT_EQ(big.capacity, 65535);
  qdb::QuoteSeries none;
  EXPECT_EQ(qdb::series_alloc(none, 0), 0);
  EXPECT_EQ(none.bar(0).date, 0);  // no rows: nothing is read

  qdb::QuoteSeries s;
  ASSERT_EQ(qdb::series_alloc(s, 400), 0);
  ASSERT_EQ(qdb::series_set_count(s, 12), 0);
  EXPECT_EQ(qdb::series_set_count(s, 401), qdb::kMalloc);
  expect_all_counts(s, 12);
  EXPECT_EQ(qdb::series_set_count(s, 400), 0);
  expect_all_counts(s, 400);
}

TEST(SeriesAlloc, ReallocatingAndFreeingAreSafe) {
  qdb::QuoteSeries s;
  ASSERT_EQ(qdb::series_alloc(s, 400), 0);
  s.info = new qdb::SeriesInfo;
  s.info_size = qdb::kSeriesInfoSize;
  // A second allocation releases the first storage and info block instead of leaking them.
  ASSERT_EQ(qdb::series_alloc(s, 5000), 0);
  EXPECT_EQ(s.info, nullptr);
  EXPECT_EQ(s.info_size, 0);
  s.info = new qdb::SeriesInfo;
  s.total = 12;
  EXPECT_EQ(qdb::series_free(s), 0);
  EXPECT_EQ(s.info, nullptr);
  EXPECT_EQ(s.capacity + s.count + s.total, 0);
  for (const auto& view : s.column) EXPECT_EQ(view.storage, nullptr);
  EXPECT_EQ(qdb::series_free(s), 0);  // again: harmless
  EXPECT_EQ(s.date(0), 0);
}

}  // namespace
