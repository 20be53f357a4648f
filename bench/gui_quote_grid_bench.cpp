// Loading the longest series a data file can hold into the quotes grid: windows of 400 read newest
// first into the grid's model, with a grid view attached as in the app. And the main window's
// start-up work on the demo tree: scan, first portfolio, first symbol's quotes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>
#include <QApplication>
#include <QHeaderView>

#include "core/demo_data.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/browse/dorvane_view.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/main_frame.h"
#include "long_series.h"

namespace {

constexpr int kQuotes = bench_support::kLongQuotes;

struct Portfolio {
  std::filesystem::path dir;
  Portfolio() {
    dir = std::filesystem::temp_directory_path() /
          ("dorvane-gui-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    bench_support::write_long_portfolio(dir.string(), bench_support::long_series_bars());
  }
  ~Portfolio() { std::filesystem::remove_all(dir); }
};

void BM_FillQuotesGridFullSeries(benchmark::State& state) {
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
BENCHMARK(BM_FillQuotesGridFullSeries)->Unit(benchmark::kMillisecond);

// The demo tree and a settings directory of its own, so no user's settings are read.
struct DemoTree {
  std::filesystem::path dir;
  DemoTree() {
    dir = std::filesystem::temp_directory_path() /
          ("dorvane-gui-bench-demo-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::string message;
    core::make_demo_tree((dir / "demo").string(), message);
    std::filesystem::create_directories(dir / "config");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
  }
  ~DemoTree() { std::filesystem::remove_all(dir); }
};

// Answers every question silently: a benchmark must never wait for a click.
class SilentPrompter : public Prompter {
 public:
  Answer message(QWidget*, const QString&, Icon, Buttons) override { return Answer::Ok; }
  int exec(QDialog&) override { return 0; }
  void beep() override {}
};

// From an unshown main window to the first quotes in the grid, without the 100 ms the app
// waits after its first paint before it starts.
void BM_StartUpToFirstQuotesOnDemo(benchmark::State& state) {
  static DemoTree demo;
  SilentPrompter prompter;
  Prompter* previous = Prompter::install(&prompter);
  const QString root = QString::fromStdString((demo.dir / "demo").string());
  for (auto _ : state) {
    CSettingsStore settings;
    settings.OpenBaseKey();
    settings.SetInt("Search", "Limit", 1);
    settings.SetString("Search", "Name", root);
    CMainFrame frame(settings);
    frame.view()->setStartRoot(root);
    frame.show();
    frame.view()->StartUp();
    if (frame.view()->quotesModel()->rowCount() == 0) state.SkipWithError("no quotes shown");
  }
  Prompter::install(previous);
}
BENCHMARK(BM_StartUpToFirstQuotesOnDemo)->Unit(benchmark::kMillisecond);

}  // namespace
