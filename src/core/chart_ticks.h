// Axis ticks and value ranges of a chart, Qt-free so that they are unit-tested.
#pragma once

#include <string>
#include <vector>

#include "core/chart_series.h"
#include "core/chart_window.h"

namespace core {

// A tick on the date axis at the first quote of a year, month or day, by the span shown.
// Labels: "1998" for a year, "Mar" for a month, "12" for a day; major ticks begin the next
// larger unit (or are years).
struct DateTick {
  int index;
  std::string label;
  bool major;
};
std::vector<DateTick> date_ticks(const ChartSeries& series, const ChartWindow& window,
                                 double min_label_px = 60);

// A tick on a value axis: 1-2-5 steps at least min_gap_px apart over height_px.
struct PriceTick {
  double value;
  std::string label;
};
std::vector<PriceTick> price_ticks(double low, double high, double height_px,
                                   double min_gap_px = 30);

// A value range; low > high (NaN-free) when the span holds no value.
struct ValueRange {
  double low;
  double high;
  bool empty() const { return !(low <= high); }
};
// The lowest and highest present price of the quotes first..last (clamped).
ValueRange price_range(const ChartSeries& series, int first, int last);
// 0 to the highest volume of first..last.
ValueRange volume_range(const ChartSeries& series, int first, int last);
// The lowest and highest open interest of first..last.
ValueRange oi_range(const ChartSeries& series, int first, int last);

}  // namespace core
