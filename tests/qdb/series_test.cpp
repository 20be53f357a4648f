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
  b.date = static_cast<std::uint16_t>(14000 + row);
  b.time = static_cast<std::uint16_t>(43199 - row);
  b.open = 1.5f + row;
  b.high = 2.25f + row;
  b.low = 0.75f + row;
  b.close = -1.0f;
  b.volume = 1e6f + row;
  b.oi = 12345.0f;
  return b;
}

void expect_bar(const qdb::QuoteBar& got, const qdb::QuoteBar& want) {
  EXPECT_EQ(got.date, want.date);
  EXPECT_EQ(got.time, want.time);
  EXPECT_EQ(got.open, want.open);
  EXPECT_EQ(got.high, want.high);
  EXPECT_EQ(got.low, want.low);
  EXPECT_EQ(got.close, want.close);
  EXPECT_EQ(got.volume, want.volume);
  EXPECT_EQ(got.oi, want.oi);
}

TEST(SeriesAlloc, PackedLayoutUpTo2321Rows) {
  qdb::QuoteSeries s;
  s.path = "old";
  s.name = "old";
  ASSERT_EQ(qdb::series_alloc(s, 2321), 0);
  EXPECT_EQ(s.capacity, 2321);
  EXPECT_TRUE(s.path.empty());
  EXPECT_TRUE(s.name.empty());
  EXPECT_EQ(s.total, 0);
  EXPECT_EQ(s.info, nullptr);
  expect_all_counts(s, 2321);
  void* block = s.column[qdb::kDate].storage;
  for (const auto& view : s.column) EXPECT_EQ(view.storage, block);
  EXPECT_EQ(s.column[qdb::kDate].stride, 14);
  EXPECT_EQ(s.column[qdb::kDate].offset, 0);
  EXPECT_EQ(s.column[qdb::kTime].stride, 14);
  EXPECT_EQ(s.column[qdb::kTime].offset, 1);
  for (int f = qdb::kOpen; f <= qdb::kOi; ++f) {
    EXPECT_EQ(s.column[f].stride, 7);
    EXPECT_EQ(s.column[f].offset, f - 1);
  }
  // Zero-filled: the whole 64988-byte block.
  const auto* bytes = static_cast<const std::uint8_t*>(block);
  for (int i = 0; i < 2321 * 28; ++i) ASSERT_EQ(bytes[i], 0) << i;

  // Row i occupies bytes 28i..28i+27: date, time, then the six reals.
  const qdb::QuoteBar b = sample_bar(7);
  s.set_bar(2320, b);
  std::uint16_t date;
  float close;
  std::memcpy(&date, bytes + 28 * 2320, 2);
  std::memcpy(&close, bytes + 28 * 2320 + 4 + 3 * 4, 4);
  EXPECT_EQ(date, b.date);
  EXPECT_EQ(close, b.close);
  expect_bar(s.bar(2320), b);
}

TEST(SeriesAlloc, SplitLayoutFrom2322Rows) {
  qdb::QuoteSeries s;
  ASSERT_EQ(qdb::series_alloc(s, 2322), 0);
  EXPECT_EQ(s.capacity, 2322);
  expect_all_counts(s, 2322);
  EXPECT_EQ(s.column[qdb::kDate].storage, s.column[qdb::kTime].storage);
  EXPECT_EQ(s.column[qdb::kDate].stride, 2);
  EXPECT_EQ(s.column[qdb::kDate].offset, 0);
  EXPECT_EQ(s.column[qdb::kTime].stride, 2);
  EXPECT_EQ(s.column[qdb::kTime].offset, 1);
  std::set<void*> blocks{s.column[qdb::kDate].storage};
  for (int f = qdb::kOpen; f <= qdb::kOi; ++f) {
    EXPECT_EQ(s.column[f].stride, 1);
    EXPECT_EQ(s.column[f].offset, 0);
    blocks.insert(s.column[f].storage);
    const auto* bytes = static_cast<const std::uint8_t*>(s.column[f].storage);
    for (int i = 0; i < 2322 * 4; ++i) ASSERT_EQ(bytes[i], 0);
  }
  EXPECT_EQ(blocks.size(), 7u);
  EXPECT_EQ(blocks.count(nullptr), 0u);

  for (int row : {0, 1, 2321}) s.set_bar(row, sample_bar(row));
  for (int row : {0, 1, 2321}) expect_bar(s.bar(row), sample_bar(row));
  EXPECT_EQ(s.value(qdb::kVol, 2321), sample_bar(2321).volume);
  EXPECT_EQ(s.value(qdb::kDate, 1), static_cast<float>(sample_bar(1).date));
  float oi;
  std::memcpy(&oi, static_cast<const std::uint8_t*>(s.column[qdb::kOi].storage) + 4 * 2321, 4);
  EXPECT_EQ(oi, sample_bar(2321).oi);
}

TEST(SeriesAlloc, RowsDoNotOverlapInEitherLayout) {
  for (int capacity : {400, 3000}) {
    qdb::QuoteSeries s;
    ASSERT_EQ(qdb::series_alloc(s, capacity), 0);
    for (int row = 0; row < capacity; ++row) s.set_bar(row, sample_bar(row));
    for (int row = 0; row < capacity; ++row) {
      const qdb::QuoteBar b = s.bar(row);
      ASSERT_EQ(b.date, sample_bar(row).date) << capacity << " row " << row;
      ASSERT_EQ(b.time, sample_bar(row).time) << capacity << " row " << row;
      ASSERT_EQ(b.volume, sample_bar(row).volume) << capacity << " row " << row;
    }
  }
}

TEST(SeriesAlloc, CapacityOutsideRangeFailsWithCapacityZero) {
  for (int capacity : {-1, 32768, 100000}) {
    qdb::QuoteSeries s;
    EXPECT_EQ(qdb::series_alloc(s, capacity), qdb::kMalloc) << capacity;
    EXPECT_EQ(s.capacity, 0);
    EXPECT_EQ(qdb::series_free(s), 0);
  }
  qdb::QuoteSeries big;
  EXPECT_EQ(qdb::series_alloc(big, 32767), 0);
  qdb::QuoteSeries none;
  EXPECT_EQ(qdb::series_alloc(none, 0), 0);
  EXPECT_EQ(none.capacity, 0);
  EXPECT_EQ(none.bar(0).date, 0);  // no rows: nothing is read
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
  s.path = "/p/";
  s.total = 12;
  s.kind = 3;
  EXPECT_EQ(qdb::series_free(s), 0);
  EXPECT_EQ(s.info, nullptr);
  EXPECT_EQ(s.capacity, 0);
  EXPECT_EQ(s.count, 0);
  EXPECT_EQ(s.total, 0);
  EXPECT_EQ(s.kind, 0);
  EXPECT_TRUE(s.path.empty());
  for (const auto& view : s.column) {
    EXPECT_EQ(view.storage, nullptr);
    EXPECT_EQ(view.stride, 0);
  }
  EXPECT_EQ(qdb::series_free(s), 0);  // again: harmless
}

TEST(SeriesSetCount, AboveCapacityChangesNothing) {
  qdb::QuoteSeries s;
  ASSERT_EQ(qdb::series_alloc(s, 400), 0);
  ASSERT_EQ(qdb::series_set_count(s, 12), 0);
  expect_all_counts(s, 12);
  EXPECT_EQ(qdb::series_set_count(s, 401), qdb::kMalloc);
  expect_all_counts(s, 12);
  EXPECT_EQ(qdb::series_set_count(s, 400), 0);
  expect_all_counts(s, 400);
  EXPECT_EQ(qdb::series_set_count(s, 0), 0);
  expect_all_counts(s, 0);
}

TEST(SeriesRows, OutsideTheStorageIsNeverTouched) {
  qdb::QuoteSeries s;
  ASSERT_EQ(qdb::series_alloc(s, 1), 0);
  s.set_bar(1, sample_bar(1));
  s.set_bar(-1, sample_bar(1));
  EXPECT_EQ(s.bar(0).date, 0);
  EXPECT_EQ(s.date(1), 0);
  EXPECT_EQ(s.time(-1), 0);
  EXPECT_EQ(s.value(qdb::kClose, 5), 0.0f);
}

}  // namespace
