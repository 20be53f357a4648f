#include "core/chart_ticks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace core {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Where the calendar turns between one quote and the one before it.
struct Boundary {
  int index;
  int year;   // calendar year
  int month;  // 1..12
  int day;    // 1..31
  bool new_year, new_month;
};

enum class Unit { kDay, kMonth, kYear };
struct Level {
  Unit unit;
  int step;
};
// From the finest to the coarsest.
constexpr std::array<Level, 15> kLevels = {{{Unit::kDay, 1},
                                            {Unit::kDay, 2},
                                            {Unit::kDay, 5},
                                            {Unit::kDay, 10},
                                            {Unit::kMonth, 1},
                                            {Unit::kMonth, 2},
                                            {Unit::kMonth, 3},
                                            {Unit::kMonth, 6},
                                            {Unit::kYear, 1},
                                            {Unit::kYear, 2},
                                            {Unit::kYear, 5},
                                            {Unit::kYear, 10},
                                            {Unit::kYear, 20},
                                            {Unit::kYear, 50},
                                            {Unit::kYear, 100}}};

// Whether a boundary carries a tick at level, and which label and weight it gets.
bool tick_at(const Boundary& b, Level level, DateTick& tick) {
  tick.index = b.index;
  switch (level.unit) {
    case Unit::kYear:
      if (!b.new_year || b.year % level.step != 0) return false;
      tick.label = std::to_string(b.year);
      tick.major = true;
      return true;
    case Unit::kMonth:
      if (!b.new_month || (b.month - 1) % level.step != 0) return false;
      tick.major = b.new_year;
      tick.label = b.new_year ? std::to_string(b.year) : kMonthNames[b.month - 1];
      return true;
    case Unit::kDay:
      // Every month's first quote has a tick, whatever its day (the 1st may be a holiday).
      if (!b.new_month && (b.day - 1) % level.step != 0) return false;
      tick.major = b.new_month;
      tick.label = b.new_year    ? std::to_string(b.year)
                   : b.new_month ? kMonthNames[b.month - 1]
                                 : std::to_string(b.day);
      return true;
  }
  return false;
}

std::string number_text(double value, double step) {
  if (std::fabs(value) < step * 1e-6) return "0";
  double scale = 1;
  const char* suffix = "";
  if (step >= 1e5) {
    scale = 1e6;
    suffix = "M";
  } else if (step >= 100 && std::max(std::fabs(value), step) >= 1e4) {
    scale = 1e3;
    suffix = "k";
  }
  const double scaled_step = step / scale;
  const int decimals =
      scaled_step >= 1
          ? 0
          : std::clamp(static_cast<int>(std::ceil(-std::log10(scaled_step) - 1e-9)), 0, 9);
  const double shown = value / scale;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f%s", decimals, shown, suffix);
  return buffer;
}

float at(const std::vector<float>& column, int i) {
  return static_cast<std::size_t>(i) < column.size() ? column[static_cast<std::size_t>(i)]
                                                     : std::numeric_limits<float>::quiet_NaN();
}

// The lowest and highest present value over first..last of per-quote values low_of / high_of,
// through the per-block extremes where the index is built for this series.
template <typename LowOf, typename HighOf>
ValueRange extremes(const ChartSeries& series, int first, int last, LowOf low_of, HighOf high_of,
                    const std::vector<float>* block_low, const std::vector<float>* block_high) {
  ValueRange r{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  const int n = series.size();
  first = std::max(first, 0);
  last = std::min(last, n - 1);
  auto take = [&r](float lo, float hi) {
    if (!std::isnan(lo)) r.low = std::min<double>(r.low, lo);
    if (!std::isnan(hi)) r.high = std::max<double>(r.high, hi);
  };
  const bool indexed = series.ranges.count == n && block_high != nullptr;
  constexpr int kBlock = ChartRangeIndex::kBlock;
  int i = first;
  while (i <= last) {
    if (indexed && i % kBlock == 0 && i + kBlock - 1 <= last) {
      const auto b = static_cast<std::size_t>(i / kBlock);
      take(block_low ? (*block_low)[b] : std::numeric_limits<float>::quiet_NaN(), (*block_high)[b]);
      i += kBlock;
    } else {
      take(low_of(i), high_of(i));
      ++i;
    }
  }
  if (r.high < r.low && std::isinf(r.high)) return ValueRange{1, 0};  // nothing present
  if (std::isinf(r.low)) r.low = r.high;  // a column whose low the blocks leave out
  return r;
}

}  // namespace

std::vector<DateTick> date_ticks(const ChartSeries& series, const ChartWindow& window,
                                 double min_label_px) {
  std::vector<DateTick> ticks;
  const int first = window.first_visible();
  const int last = std::min(window.last_visible(), series.size() - 1);
  if (first < 0 || last < first || window.width() <= 0) return ticks;

  std::vector<Boundary> boundaries;
  int year = 0, month = 0, day = 0;
  bool known = false;  // whether year, month and day hold the last calendar date before i
  // A quote whose date is no calendar date (a damaged file) starts no unit and is skipped.
  if (first > 0) {
    qdb::split_date(series.date[static_cast<std::size_t>(first - 1)], year, month, day);
    known = month != 0;
  }
  for (int i = first; i <= last; ++i) {
    int y = 0, m = 0, d = 0;
    qdb::split_date(series.date[static_cast<std::size_t>(i)], y, m, d);
    if (m == 0) continue;
    if (known && (y != year || m != month || d != day))
      boundaries.push_back({i, 1900 + y, m, d, y != year, y != year || m != month});
    year = y;
    month = m;
    day = d;
    known = true;
  }

  // The finest level whose ticks are on average min_label_px apart.
  const double visible_px = (last - first + 1) * window.pixels_per_bar();
  const std::size_t most = static_cast<std::size_t>(std::max(visible_px / min_label_px, 1.0));
  Level chosen = kLevels.back();
  for (const Level& level : kLevels) {
    std::size_t count = 0;
    DateTick tick;
    for (const Boundary& b : boundaries)
      if (tick_at(b, level, tick) && ++count > most) break;
    if (count <= most) {
      chosen = level;
      break;
    }
  }
  // Labels closer than that are thinned out: a minor tick gives way to its neighbours.
  const double gap = min_label_px * 0.75;
  for (const Boundary& b : boundaries) {
    DateTick tick;
    if (!tick_at(b, chosen, tick)) continue;
    while (!ticks.empty() && window.x_of(tick.index) - window.x_of(ticks.back().index) < gap) {
      if (!tick.major) break;
      if (ticks.back().major) break;
      ticks.pop_back();  // a minor tick just before a major one
    }
    if (!ticks.empty() && window.x_of(tick.index) - window.x_of(ticks.back().index) < gap &&
        !tick.major)
      continue;
    ticks.push_back(std::move(tick));
  }
  return ticks;
}

std::vector<PriceTick> price_ticks(double low, double high, double height_px, double min_gap_px) {
  std::vector<PriceTick> ticks;
  if (!std::isfinite(low) || !std::isfinite(high) || high < low || !(height_px > 0) ||
      !(min_gap_px > 0))
    return ticks;
  if (high == low) {
    const double pad = low == 0 ? 1 : std::fabs(low) * 0.05;
    low -= pad;
    high += pad;
  }
  const double most = std::max(std::floor(height_px / min_gap_px), 1.0);
  const double raw = (high - low) / most;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = 10 * magnitude;
  for (double m : {1.0, 2.0, 5.0}) {
    if (m * magnitude >= raw * (1 - 1e-9)) {
      step = m * magnitude;
      break;
    }
  }
  const double start = std::ceil(low / step - 1e-9);
  for (double k = start; k * step <= high + step * 1e-9; k += 1) {
    const double value = k * step;
    ticks.push_back({value, number_text(value, step)});
    if (ticks.size() > 1000) break;  // unreachable guard against a degenerate step
  }
  return ticks;
}

ValueRange price_range(const ChartSeries& series, int first, int last) {
  const bool indexed = series.ranges.count == series.size();
  if (indexed)
    return extremes(
        series, first, last,
        [&](int i) { return series.ranges.bar_low[static_cast<std::size_t>(i)]; },
        [&](int i) { return series.ranges.bar_high[static_cast<std::size_t>(i)]; },
        &series.ranges.block_low, &series.ranges.block_high);
  auto low_of = [&](int i) {
    float lo = std::numeric_limits<float>::quiet_NaN();
    for (const auto* c : {&series.open, &series.high, &series.low, &series.close}) {
      const float v = at(*c, i);
      if (!std::isnan(v) && !(lo <= v)) lo = v;
    }
    return lo;
  };
  auto high_of = [&](int i) {
    float hi = std::numeric_limits<float>::quiet_NaN();
    for (const auto* c : {&series.open, &series.high, &series.low, &series.close}) {
      const float v = at(*c, i);
      if (!std::isnan(v) && !(hi >= v)) hi = v;
    }
    return hi;
  };
  return extremes(series, first, last, low_of, high_of, nullptr, nullptr);
}

ValueRange volume_range(const ChartSeries& series, int first, int last) {
  auto volume = [&](int i) { return at(series.volume, i); };
  auto none = [](int) { return std::numeric_limits<float>::quiet_NaN(); };
  ValueRange r =
      extremes(series, first, last, none, volume, nullptr, &series.ranges.block_volume_high);
  if (r.empty()) return r;
  return ValueRange{0, r.high};
}

ValueRange oi_range(const ChartSeries& series, int first, int last) {
  auto oi = [&](int i) { return at(series.oi, i); };
  return extremes(series, first, last, oi, oi, &series.ranges.block_oi_low,
                  &series.ranges.block_oi_high);
}

}  // namespace core
