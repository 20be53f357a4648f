// The in-memory quote series: storage layouts, row count, and row access through the views.
#include "qdb/series.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace qdb {
namespace {

// Bytes of one packed row: eight 4-byte units (date serial, time code, six reals).
constexpr std::size_t kUnit = 4;
constexpr std::size_t kPackedRowSize = 8 * kUnit;
// A packed block stays below this size, as on a 16-bit heap.
constexpr std::size_t kPackedLimit = 65000;
constexpr std::int16_t kPackedStride = 8;
constexpr int kSplitBlocks = 8;

// calloc of at least one byte, so that a series of capacity 0 still owns real storage.
void* zeroed_block(std::size_t bytes) { return std::calloc(bytes == 0 ? 1 : bytes, 1); }

void set_view(ColumnView& view, void* storage, std::int32_t count, std::int16_t stride,
              std::int16_t offset) {
  view.storage = storage;
  view.count = count;
  view.stride = stride;
  view.offset = offset;
}

// Releases every block of the series' storage; the layout is told by the open column's stride.
void release_storage(QuoteSeries& series) {
  if (series.column[kOpen].stride == kPackedStride) {
    std::free(series.column[kDate].storage);
  } else {
    // Split layout: each column has its own block.
    for (int field = kOi; field >= kDate; --field) std::free(series.column[field].storage);
  }
}

void clear_fields(QuoteSeries& series) {
  for (ColumnView& view : series.column) view = ColumnView{};
  series.path.clear();
  series.name.clear();
  series.count = 0;
  series.capacity = 0;
  series.total = 0;
  series.kind = 0;
  series.info_size = 0;
  series.info = nullptr;
}

// Address of element `row` of a view (elements are 4-byte units).
const std::uint8_t* element(const ColumnView& view, int row) {
  const std::ptrdiff_t index = static_cast<std::ptrdiff_t>(row) * view.stride + view.offset;
  return static_cast<const std::uint8_t*>(view.storage) +
         index * static_cast<std::ptrdiff_t>(kUnit);
}

std::uint8_t* element(ColumnView& view, int row) {
  const std::ptrdiff_t index = static_cast<std::ptrdiff_t>(row) * view.stride + view.offset;
  return static_cast<std::uint8_t*>(view.storage) + index * static_cast<std::ptrdiff_t>(kUnit);
}

}  // namespace

StatusCode series_alloc(QuoteSeries& series, int capacity) {
  // A series handed in again is released first, so reuse never leaks its old storage.
  series_free(series);
  if (capacity < 0 || capacity > kMaxSeriesCapacity) return kMalloc;

  const auto cap = static_cast<std::int32_t>(capacity);
  const auto rows = static_cast<std::size_t>(capacity);
  series.count = cap;
  series.capacity = cap;

  if (rows * kPackedRowSize < kPackedLimit) {
    if (void* block = zeroed_block(rows * kPackedRowSize)) {
      for (int field = kDate; field <= kOi; ++field)
        set_view(series.column[field], block, cap, kPackedStride, static_cast<std::int16_t>(field));
      return kSuccess;
    }
  }

  void* blocks[kSplitBlocks] = {};
  for (int i = 0; i < kSplitBlocks; ++i) {
    blocks[i] = zeroed_block(rows * kUnit);
    if (blocks[i] == nullptr) {
      for (int j = i - 1; j >= 0; --j) std::free(blocks[j]);
      series.count = 0;
      series.capacity = 0;
      return kMalloc;
    }
  }
  for (int field = kDate; field <= kOi; ++field)
    set_view(series.column[field], blocks[field], cap, 1, 0);
  return kSuccess;
}

StatusCode series_free(QuoteSeries& series) {
  release_storage(series);
  delete series.info;
  clear_fields(series);
  return kSuccess;
}

StatusCode series_set_count(QuoteSeries& series, int n) {
  if (n > series.capacity) return kMalloc;
  if (n < 0) n = 0;
  const auto count = static_cast<std::int32_t>(n);
  series.count = count;
  for (ColumnView& view : series.column) view.count = count;
  return kSuccess;
}

std::int32_t bar_seconds(const QuoteBar& bar) {
  return time_code_of_seconds(bar.seconds) == bar.time ? bar.seconds : time_code_seconds(bar.time);
}

QuoteSeries::~QuoteSeries() { series_free(*this); }

DateSerial QuoteSeries::date(int row) const {
  if (row < 0 || row >= capacity || column[kDate].storage == nullptr) return 0;
  DateSerial v;
  std::memcpy(&v, element(column[kDate], row), sizeof v);
  return v;
}

std::uint16_t QuoteSeries::time(int row) const { return time_code_of_seconds(seconds(row)); }

std::int32_t QuoteSeries::seconds(int row) const {
  if (row < 0 || row >= capacity || column[kTime].storage == nullptr) return 0;
  std::int32_t v;
  std::memcpy(&v, element(column[kTime], row), sizeof v);
  return v;
}

float QuoteSeries::value(Field field, int row) const {
  if (field == kDate) return static_cast<float>(date(row));
  if (field == kTime) return static_cast<float>(time(row));  // the time code
  if (field < kOpen || field > kOi) return 0.0f;
  if (row < 0 || row >= capacity || column[field].storage == nullptr) return 0.0f;
  float v;
  std::memcpy(&v, element(column[field], row), sizeof v);
  return v;
}

QuoteBar QuoteSeries::bar(int row) const {
  QuoteBar b;
  b.date = date(row);
  b.seconds = seconds(row);
  b.time = time_code_of_seconds(b.seconds);
  b.open = value(kOpen, row);
  b.high = value(kHigh, row);
  b.low = value(kLow, row);
  b.close = value(kClose, row);
  b.volume = value(kVol, row);
  b.oi = value(kOi, row);
  return b;
}

void QuoteSeries::set_bar(int row, const QuoteBar& b) {
  if (row < 0 || row >= capacity || column[kDate].storage == nullptr) return;
  std::memcpy(element(column[kDate], row), &b.date, sizeof b.date);
  const std::int32_t seconds = bar_seconds(b);
  std::memcpy(element(column[kTime], row), &seconds, sizeof seconds);
  const float values[6] = {b.open, b.high, b.low, b.close, b.volume, b.oi};
  for (int field = kOpen; field <= kOi; ++field)
    std::memcpy(element(column[field], row), &values[field - kOpen], sizeof(float));
}

}  // namespace qdb
