// A whole series held in memory for drawing, as columns, with the range queries a redraw needs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/dates.h"
#include "qdb/series.h"

namespace core {

// Block minima and maxima of the per-quote price extremes, volume and open interest, built once
// per load so that the range of any visible span costs a few block lookups, not a rescan.
struct ChartRangeIndex {
  static constexpr int kBlock = 64;
  int count = 0;                         // quotes indexed (0: not built)
  std::vector<float> bar_low, bar_high;  // per quote: lowest and highest present price (NaN: none)
  std::vector<float> block_low, block_high;  // per block of kBlock quotes
  std::vector<float> block_volume_high, block_oi_low, block_oi_high;
};

// A whole series held for drawing, oldest quote first, as columns (struct of arrays).
struct ChartSeries {
  std::vector<qdb::DateSerial> date;
  std::vector<std::int32_t> seconds;  // time of day; empty when the series has no time
  // NaN where a field is absent from the layout or N/A (a negative value).
  std::vector<float> open, high, low, close, volume, oi;
  bool has_open = false, has_high_low = false, has_volume = false, has_oi = false, has_time = false;
  ChartRangeIndex ranges;  // built by load_chart_series or build_chart_ranges

  // Quotes held.
  int size() const { return static_cast<int>(date.size()); }
};

// Reads every quote of key in directory (through NewestFirstQuotes), oldest first, and builds
// the range index. False with message (the system's read-failure wording, then the cause) when
// the series cannot be read; out is then empty. A non-zero file_number addresses the entry of
// directory's own index files with that number (see qdb::find_symbol).
bool load_chart_series(std::string_view directory, std::string_view key, ChartSeries& out,
                       std::string& message, int file_number = 0);

// Fills out from bars (oldest first): N/A values become NaN, each has_ flag says whether the
// column holds a value at all, and the range index is built.
void fill_chart_series(ChartSeries& out, const std::vector<qdb::QuoteBar>& bars, bool with_time);

// Builds (or rebuilds) series.ranges from its columns; call after filling a series by hand.
void build_chart_ranges(ChartSeries& series);

// The day of quote index as the grid shows it: its date, and its time for an intraday series.
std::string chart_day_text(const ChartSeries& series, int index);

// Grid rows list the newest quote first: row r is series index size-1-r, and back.
int chart_index_of_row(int row, int size);
int chart_row_of_index(int index, int size);

// The index span [first, last] of the quotes dated from..to (0 = open end). False when no quote
// lies in it.
bool chart_span_of_dates(const ChartSeries& series, qdb::DateSerial from, qdb::DateSerial to,
                         int& first, int& last);

}  // namespace core
