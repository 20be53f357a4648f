// The in-memory quote series: a caller-owned window of quotes with eight column views.
#pragma once

#include <cstdint>
#include <string>

#include "qdb/dates.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/status.h"

namespace qdb {

// One decoded quote. A field absent from the layout reads as -1.0 (time code 0).
struct QuoteBar {
  DateSerial date = 0;     // date serial
  std::uint16_t time = 0;  // time code
  float open = 0, high = 0, low = 0, close = 0, volume = 0, oi = 0;
  // The stored time to the second, as seconds since midnight. The time code keeps even seconds
  // only; a bar whose seconds disagree with its code (set by code alone) counts by the code.
  std::int32_t seconds = 0;
};

// The seconds of a bar's time: its own when they agree with its time code, else the code's.
std::int32_t bar_seconds(const QuoteBar& bar);

// Element i of a column is element i * stride + offset of the storage, counted in 4-byte
// units: a 32-bit date serial, the time as 32-bit seconds since midnight, or a real. The count
// is 32-bit: a data file's header counts up to 65,535 records.
struct ColumnView {
  void* storage = nullptr;
  std::int32_t count = 0;
  std::int16_t stride = 0;
  std::int16_t offset = 0;
};

// The info block: the MasterRecord (dates native) and the layout's three arrays.
struct SeriesInfo {
  MasterRecord master;
  std::int16_t column_map[8] = {};
  std::int16_t display_format[8] = {};
  std::int16_t input_format[8] = {};
};
inline constexpr std::int16_t kSeriesInfoSize = 101;

struct QuoteSeries {
  ColumnView column[8];
  std::string path;  // directory where the symbol was found, with its trailing separator
  std::string name;  // the key the caller asked for
  std::int32_t count = 0;
  std::int32_t capacity = 0;
  std::int32_t total = 0;
  std::int16_t kind = 0;
  std::int16_t info_size = 0;
  SeriesInfo* info = nullptr;  // allocated with new by the first read; series_free deletes it

  QuoteSeries() = default;
  ~QuoteSeries();
  QuoteSeries(const QuoteSeries&) = delete;
  QuoteSeries& operator=(const QuoteSeries&) = delete;

  // Row access through the views.
  DateSerial date(int row) const;
  std::uint16_t time(int row) const;        // time code
  std::int32_t seconds(int row) const;      // the time to the second
  float value(Field field, int row) const;  // field kOpen..kOi
  QuoteBar bar(int row) const;
  void set_bar(int row, const QuoteBar& bar);
};

// The most rows a series holds: every quote a data file's 16-bit header can count.
inline constexpr int kMaxSeriesCapacity = 65535;

// Clears the series and builds storage for capacity rows, 0 to kMaxSeriesCapacity (packed while
// capacity * 32 < 65000, else eight blocks, one per column). Returns 0, or -3 with capacity 0.
StatusCode series_alloc(QuoteSeries& series, int capacity);
// Releases storage and info block and zeroes every field. Harmless on a released series.
StatusCode series_free(QuoteSeries& series);
// Sets the row count of the series and its views; -3 (nothing changed) when n > capacity.
StatusCode series_set_count(QuoteSeries& series, int n);

}  // namespace qdb
