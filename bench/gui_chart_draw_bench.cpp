// Drawing the price chart of the longest series: the whole of it once after a load (suspect
// scan, layout and paint), and the redraws that follow a resize or a drag over a loaded series,
// which read only the visible span.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include <QImage>
#include <QPainter>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/chart_window.h"
#include "gui/chart/chart_image.h"
#include "gui/chart/chart_painter.h"
#include "qdb/dates.h"

namespace {

constexpr int kQuotes = 32767;
const QSize kSize(1200, 700);

// A random walk of daily bars with volume and open interest, every 997th day a spike.
const core::ChartSeries& longSeries() {
  static const core::ChartSeries series = [] {
    core::ChartSeries s;
    s.has_open = s.has_high_low = s.has_volume = s.has_oi = true;
    unsigned seed = 12345;
    const auto noise = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return static_cast<double>((seed >> 8) & 0xFFFF) / 65536.0 - 0.5;
    };
    double price = 40;
    for (int i = 0; i < kQuotes; ++i) {
      price = std::max(1.0, price * (1 + noise() * 0.04));
      const double close = i % 997 == 500 ? price * 3 : price;
      s.date.push_back(qdb::date_serial(1930, 1, 2) + i);
      s.open.push_back(static_cast<float>(price * (1 + noise() * 0.01)));
      s.high.push_back(static_cast<float>(std::max(price, close) * 1.01));
      s.low.push_back(static_cast<float>(price * 0.99));
      s.close.push_back(static_cast<float>(close));
      s.volume.push_back(static_cast<float>(100000 * (1 + noise())));
      s.oi.push_back(static_cast<float>(5000 + i % 3000));
    }
    core::build_chart_ranges(s);
    return s;
  }();
  return series;
}

// After a load: the suspect scan, the layout and the paint of the whole series.
void BM_ChartDrawWholeSeries(benchmark::State& state) {
  const core::ChartSeries& series = longSeries();
  for (auto _ : state) {
    const QImage image = renderChartImage(series, kSize);
    benchmark::DoNotOptimize(image.constBits());
  }
}
BENCHMARK(BM_ChartDrawWholeSeries)->Unit(benchmark::kMillisecond);

// The app's redraw: the series, its suspects and the window are held; only the paint runs.
struct Redraw {
  QImage image{kSize, QImage::Format_ARGB32_Premultiplied};
  std::vector<core::Suspect> suspects = core::find_suspects(longSeries());
  core::ChartWindow window;
  QRect rect{QPoint(0, 0), kSize};
  void paint() {
    QPainter painter(&image);
    paintChart(painter, rect, {&longSeries(), &window, &suspects, kQuotes / 2});
  }
};

// Resizing with the whole series in view: every frame a new width.
void BM_ChartRedrawResizeWhole(benchmark::State& state) {
  Redraw redraw;
  redraw.window.reset(kQuotes, chartPlotRect(redraw.rect).width());
  int step = 0;
  for (auto _ : state) {
    redraw.rect.setWidth(kSize.width() - (step++ % 200));
    redraw.window.set_width(chartPlotRect(redraw.rect).width());
    redraw.paint();
  }
}
BENCHMARK(BM_ChartRedrawResizeWhole)->Unit(benchmark::kMillisecond);

// Dragging over a span of state.range(0) days: every frame moves the content 7 pixels.
void BM_ChartRedrawPan(benchmark::State& state) {
  Redraw redraw;
  redraw.window.reset(kQuotes, chartPlotRect(redraw.rect).width());
  redraw.window.show_span(kQuotes / 2, kQuotes / 2 + static_cast<int>(state.range(0)) - 1);
  double direction = 7;
  for (auto _ : state) {
    const double before = redraw.window.first();
    redraw.window.pan(direction);
    if (redraw.window.first() == before) direction = -direction;
    redraw.paint();
  }
}
BENCHMARK(BM_ChartRedrawPan)->Arg(250)->Arg(4000)->Arg(kQuotes)->Unit(benchmark::kMillisecond);

}  // namespace
