// The chart's visible window (zoom, pan, row <-> x mapping) and its axis ticks and ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/chart_series.h"
#include "core/chart_ticks.h"
#include "core/chart_window.h"

namespace {

TEST(ChartWindow, ZoomPanAndHomeEndKeepTheSpanInsideTheSeries) {
  struct Case {
    const char* name;
    std::function<void(core::ChartWindow&)> act;
    double first, last, pixels_per_bar;
  };
  // 100 quotes across 500 pixels: 5 pixels a bar.
  const Case cases[] = {
      {"whole", [](core::ChartWindow&) {}, 0, 99, 5},
      {"zoom in about the middle", [](core::ChartWindow& w) { w.zoom(2, 250); }, 25, 74, 10},
      {"zoom in at the left edge", [](core::ChartWindow& w) { w.zoom(4, 0); }, 0, 24, 20},
      {"zoom in at the right edge", [](core::ChartWindow& w) { w.zoom(4, 500); }, 75, 99, 20},
      {"zoom in past the fewest bars", [](core::ChartWindow& w) { w.zoom(1000, 250); }, 45, 54, 50},
      {"zoom out past the whole", [](core::ChartWindow& w) { w.zoom(0.1, 100); }, 0, 99, 5},
      {"drag right shows older bars",
       [](core::ChartWindow& w) {
         w.zoom(2, 250);
         w.pan(100);
       },
       15, 64, 10},
      {"drag stops at the oldest",
       [](core::ChartWindow& w) {
         w.zoom(2, 250);
         w.pan(1e6);
       },
       0, 49, 10},
      {"drag stops at the newest",
       [](core::ChartWindow& w) {
         w.zoom(2, 250);
         w.pan(-1e6);
       },
       50, 99, 10},
      {"End then Home",
       [](core::ChartWindow& w) {
         w.zoom(5, 0);
         w.show_last();
         w.show_first();
       },
       0, 19, 25},
      {"End",
       [](core::ChartWindow& w) {
         w.zoom(5, 0);
         w.show_last();
       },
       80, 99, 25},
      {"show all again",
       [](core::ChartWindow& w) {
         w.zoom(5, 0);
         w.show_all();
       },
       0, 99, 5},
      {"ensure visible scrolls forward",
       [](core::ChartWindow& w) {
         w.zoom(5, 0);
         w.ensure_visible(50);
       },
       31, 50, 25},
      {"ensure visible of a shown bar keeps the span",
       [](core::ChartWindow& w) {
         w.zoom(5, 0);
         w.ensure_visible(10);
       },
       0, 19, 25},
      {"a wider plot keeps the span",
       [](core::ChartWindow& w) {
         w.zoom(2, 250);
         w.set_width(1000);
       },
       25, 74, 20},
      {"a span of dates", [](core::ChartWindow& w) { w.show_span(40, 59); }, 40, 59, 25},
      {"a span narrower than the fewest bars", [](core::ChartWindow& w) { w.show_span(97, 99); },
       90, 99, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core::ChartWindow w;
    w.reset(100, 500);
    c.act(w);
    EXPECT_NEAR(w.first(), c.first, 1e-9);
    EXPECT_NEAR(w.last(), c.last, 1e-9);
    EXPECT_NEAR(w.pixels_per_bar(), c.pixels_per_bar, 1e-9);
  }
}

TEST(ChartWindow, RowsAndPixelsMapBothWaysUnderZoomAndPan) {
  core::ChartWindow w;
  w.reset(100, 500);
  EXPECT_DOUBLE_EQ(w.x_of(0), 2.5);
  EXPECT_DOUBLE_EQ(w.x_of(99), 497.5);
  struct Case {
    double x;
    int index;
  };
  for (const Case& c :
       {Case{-50, 0}, Case{0, 0}, Case{4.9, 0}, Case{5, 1}, Case{499.9, 99}, Case{900, 99}})
    EXPECT_EQ(w.index_at(c.x), c.index) << c.x;
  // The bar under the mouse stays under it while zooming, and every bar centre maps back to
  // its bar whatever the zoom and pan.
  w.zoom(3, 123);
  EXPECT_EQ(w.index_at(123), 24);
  w.pan(-37);
  for (int i = w.first_visible(); i <= w.last_visible(); ++i) {
    if (w.x_of(i) < 0 || w.x_of(i) > w.width()) continue;
    EXPECT_EQ(w.index_at(w.x_of(i)), i);
  }
  // Grid rows are newest first.
  EXPECT_EQ(core::chart_index_of_row(0, 100), 99);
  EXPECT_EQ(core::chart_row_of_index(core::chart_index_of_row(37, 100), 100), 37);
  // OHLC bars only where each bar has some pixels.
  EXPECT_TRUE(w.shows_bars());
  w.reset(1000, 500);
  EXPECT_FALSE(w.shows_bars());
  w.reset(0, 500);
  EXPECT_EQ(w.index_at(10), -1);
  EXPECT_GT(w.first_visible(), w.last_visible());
}

// Weekday quotes from 1996 to 2000, closes rising by 1 from 10.
core::ChartSeries weekdays() {
  core::ChartSeries s;
  for (qdb::DateSerial d = qdb::date_serial(1996, 1, 2); d <= qdb::date_serial(2000, 12, 29); ++d) {
    if (qdb::is_weekend(d)) continue;
    s.date.push_back(d);
    const float price = 10.0f + static_cast<float>(s.close.size());
    s.close.push_back(price);
    s.high.push_back(price + 0.5f);
    s.low.push_back(price - 0.5f);
    s.open.push_back(NAN);
    s.volume.push_back(static_cast<float>(s.volume.size() % 7) * 100);
    s.oi.push_back(NAN);
  }
  core::build_chart_ranges(s);
  return s;
}

std::vector<std::string> labels(const std::vector<core::DateTick>& ticks) {
  std::vector<std::string> out;
  for (const core::DateTick& t : ticks) out.push_back(t.label + (t.major ? "*" : ""));
  return out;
}

TEST(ChartTicks, DateTicksAreYearsMonthsOrDaysBySpan) {
  const core::ChartSeries s = weekdays();
  struct Case {
    qdb::DateSerial from, to;
    double width;
    std::vector<std::string> expected;  // "*" marks a major tick
  };
  const Case cases[] = {
      {0, 0, 1000, {"Jul", "1997*", "Jul", "1998*", "Jul", "1999*", "Jul", "2000*", "Jul"}},
      {0, 0, 200, {"1998*", "2000*"}},
      {qdb::date_serial(1998, 1, 1),
       qdb::date_serial(1998, 12, 31),
       1200,
       {"1998*", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}},
      {qdb::date_serial(1998, 1, 1),
       qdb::date_serial(1998, 12, 31),
       400,
       {"1998*", "Mar", "May", "Jul", "Sep", "Nov"}},
      {qdb::date_serial(1998, 3, 2),
       qdb::date_serial(1998, 3, 13),
       1000,
       {"Mar*", "3", "4", "5", "6", "9", "10", "11", "12", "13"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    core::ChartWindow w;
    w.reset(s.size(), c.width);
    int first = 0, last = 0;
    ASSERT_TRUE(core::chart_span_of_dates(s, c.from, c.to, first, last));
    w.show_span(first, last);
    EXPECT_EQ(labels(core::date_ticks(s, w)), c.expected);
  }
}

// Dates that are no calendar dates (a damaged file) get no tick and move no year or month tick:
// those labels are the sound series' (a day tick on a damaged day is lost).
TEST(ChartTicks, DatesOutsideTheCalendarGetNoTick) {
  const core::ChartSeries sound = weekdays();
  core::ChartSeries s = sound;
  for (int i = 100; i < s.size(); i += 97) s.date[i] = i % 2 ? 0 : qdb::kLastDateSerial + 500;
  for (const double width : {100.0, 1000.0, 20000.0}) {
    SCOPED_TRACE(width);
    core::ChartWindow w;
    w.reset(s.size(), width);
    const std::vector<core::DateTick> ticks = core::date_ticks(s, w);
    if (width < 20000) {
      EXPECT_EQ(labels(ticks), labels(core::date_ticks(sound, w)));
    }
    for (const core::DateTick& tick : ticks)
      EXPECT_FALSE(tick.index >= 100 && (tick.index - 100) % 97 == 0) << tick.index;
  }
}

TEST(ChartTicks, PriceTicksStepByOneTwoOrFive) {
  struct Case {
    double low, high, height;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {0, 10, 150, {"0", "2", "4", "6", "8", "10"}},
      {12.33, 13.1, 300, {"12.4", "12.5", "12.6", "12.7", "12.8", "12.9", "13.0", "13.1"}},
      {0.013, 0.031, 100, {"0.02", "0.03"}},
      {-3, 2, 100, {"-2", "0", "2"}},
      {0, 2.2e6, 100, {"0", "1M", "2M"}},
      {0, 45000, 100, {"0", "20k", "40k"}},
      {5, 5, 150, {"4.8", "4.9", "5.0", "5.1", "5.2"}},
      {NAN, 5, 100, {}},
      {1, 0, 100, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + ".." + std::to_string(c.high));
    std::vector<std::string> got;
    for (const core::PriceTick& t : core::price_ticks(c.low, c.high, c.height))
      got.push_back(t.label);
    EXPECT_EQ(got, c.expected);
  }
}

// The block index answers exactly what a scan of the columns answers, on any span.
TEST(ChartTicks, IndexedRangesAgreeWithAScan) {
  core::ChartSeries indexed = weekdays();
  std::mt19937 random(5);
  std::uniform_real_distribution<float> price(1, 100);
  for (int i = 0; i < indexed.size(); ++i) {
    indexed.close[i] = price(random);
    indexed.high[i] = i % 11 == 0 ? NAN : indexed.close[i] + 1;
    indexed.low[i] = i % 13 == 0 ? NAN : indexed.close[i] - 1;
    indexed.oi[i] = i % 3 == 0 ? NAN : price(random) * 1000;
    if (i % 17 == 0) indexed.close[i] = NAN;
  }
  core::build_chart_ranges(indexed);
  core::ChartSeries scanned = indexed;
  scanned.ranges = {};
  std::uniform_int_distribution<int> pick(-5, indexed.size() + 5);
  for (int k = 0; k < 300; ++k) {
    int a = pick(random), b = pick(random);
    if (a > b) std::swap(a, b);
    SCOPED_TRACE(std::to_string(a) + ".." + std::to_string(b));
    for (auto range : {core::price_range, core::volume_range, core::oi_range}) {
      const core::ValueRange x = range(indexed, a, b), y = range(scanned, a, b);
      EXPECT_EQ(x.low, y.low);
      EXPECT_EQ(x.high, y.high);
    }
  }
  EXPECT_TRUE(core::price_range(indexed, 5, 4).empty());
}

}  // namespace
