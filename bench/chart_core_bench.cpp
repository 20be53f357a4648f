// The chart's per-load and per-redraw work in core on a series of 32,767 quotes: the suspect
// scan, the range index, and a redraw's ranges and ticks.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/chart_ticks.h"
#include "core/chart_window.h"
#include "core/demo_data.h"

namespace {

constexpr int kQuotes = 32767;

// A made-up daily history of 32,767 quotes, with an unrecorded split.
core::ChartSeries long_series(double volatility) {
  core::DemoHistory h;
  h.seed = 11;
  h.first_date = qdb::date_serial(1900, 1, 2);
  h.last_date = qdb::date_serial(2099, 12, 31);
  h.volatility = volatility;
  h.start_price = 40;
  std::vector<qdb::QuoteBar> bars = core::demo_quotes(h);
  bars.resize(kQuotes);
  for (int i = 0; i < kQuotes / 2; ++i)
    for (float* price : {&bars[i].open, &bars[i].high, &bars[i].low, &bars[i].close}) *price *= 2;
  core::ChartSeries s;
  core::fill_chart_series(s, bars, false);
  return s;
}

// Ordinary moves (2% a day), wild ones (6%), and moves so wild (20%) that the neighbours'
// medians must be taken nearly everywhere.
void BM_FindSuspects(benchmark::State& state) {
  const core::ChartSeries s = long_series(state.range(0) / 1000.0);
  for (auto _ : state) benchmark::DoNotOptimize(core::find_suspects(s));
  state.counters["quotes"] = s.size();
}
BENCHMARK(BM_FindSuspects)->Arg(20)->Arg(60)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_BuildRanges(benchmark::State& state) {
  core::ChartSeries s = long_series(0.02);
  for (auto _ : state) {
    core::build_chart_ranges(s);
    benchmark::DoNotOptimize(s.ranges.count);
  }
}
BENCHMARK(BM_BuildRanges)->Unit(benchmark::kMillisecond);

// What a redraw of the whole series asks of core: the ranges of the span and both axes' ticks.
void BM_RedrawQueries(benchmark::State& state) {
  const core::ChartSeries s = long_series(0.02);
  core::ChartWindow window;
  window.reset(s.size(), 1200);
  for (auto _ : state) {
    const int first = window.first_visible(), last = window.last_visible();
    const core::ValueRange prices = core::price_range(s, first, last);
    const core::ValueRange volume = core::volume_range(s, first, last);
    benchmark::DoNotOptimize(core::price_ticks(prices.low, prices.high, 500));
    benchmark::DoNotOptimize(core::price_ticks(volume.low, volume.high, 150));
    benchmark::DoNotOptimize(core::date_ticks(s, window));
  }
}
BENCHMARK(BM_RedrawQueries)->Unit(benchmark::kMicrosecond);

}  // namespace
