// Loading a full 32767-quote symbol into the quotes grid: windows of 400 read newest first
// into the grid's model, with a grid view attached as in the app.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>
#include <QApplication>
#include <QHeaderView>

#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "qdb/dates.h"
#include "qdb/writer.h"

namespace {

constexpr int kQuotes = 32767;

struct Portfolio {
  std::filesystem::path dir;
  Portfolio() {
    dir = std::filesystem::temp_directory_path() /
          ("dorvane-gui-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    const std::string d = dir.string();
    qdb::create_portfolio(d);
    std::vector<qdb::QuoteBar> bars;
    bars.reserve(kQuotes);
    std::uint16_t date = qdb::date_serial(1961, 1, 2);
    for (int i = 0; i < kQuotes; ++i, ++date) {
      const float price = 10.0f + static_cast<float>(i % 500) / 8.0f;
      bars.push_back({date, 0, price, price + 1.0f, price - 1.0f, price + 0.5f,
                      static_cast<float>(1000 + i), static_cast<float>(i % 77)});
    }
    const qdb::SeriesLayout layout = qdb::default_layout(28);
    qdb::write_data_file(d, 1, bars, layout, 28);
    qdb::append_master_record(d, qdb::make_master_record(1, "LONG", "LONG SERIES", 28, 7,
                                                         bars.front().date, bars.back().date));
  }
  ~Portfolio() { std::filesystem::remove_all(dir); }
};

void BM_FillQuotesGrid32767(benchmark::State& state) {
  static Portfolio portfolio;
  CQuotesGridModel model;
  CGridView grid;
  grid.setModel(&model);
  grid.resize(800, 600);
  for (auto _ : state) {
    model.clear();
    const QuoteLoadResult result = load_quotes(model, portfolio.dir.string(), "LONG");
    if (result.loaded != kQuotes) state.SkipWithError("the series did not load whole");
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}
BENCHMARK(BM_FillQuotesGrid32767)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
