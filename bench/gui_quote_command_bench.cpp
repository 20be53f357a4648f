// A quote command on the longest series a data file can hold, as the user meets it after OK:
// the Split controller rewrites the whole file (a 1-for-1 split from the newest date, so every
// earlier quote is rewritten with its own values and the file stays the same from one run to
// the next), then the quotes grid is filled again.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>
#include <QApplication>
#include <QDialog>

#include "core/view_state.h"
#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/split_command.h"
#include "long_series.h"
#include "qdb/dates.h"

namespace {

constexpr int kQuotes = bench_support::kLongQuotes;

struct Portfolio {
  std::filesystem::path dir;
  qdb::DateSerial first = 0;
  qdb::DateSerial last = 0;
  Portfolio() {
    dir = std::filesystem::temp_directory_path() /
          ("dorvane-gui-command-bench-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "config");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
    const std::vector<qdb::QuoteBar> bars = bench_support::long_series_bars();
    bench_support::write_long_portfolio((dir / "p").string(), bars);
    first = bars.front().date;
    last = bars.back().date;
  }
  ~Portfolio() { std::filesystem::remove_all(dir); }
};

// Presses OK on every dialog as it comes (the Split dialog opens on the current row's date
// with share counts of 1); any message is a failure of the run.
class OkPrompter : public Prompter {
 public:
  Answer message(QWidget*, const QString&, Icon, Buttons) override {
    ++messages;
    return Answer::Ok;
  }
  int exec(QDialog& dialog) override {
    dialog.accept();
    return dialog.result();
  }
  void beep() override {}
  int messages = 0;
};

void BM_SplitRewriteAndReloadFullSeries(benchmark::State& state) {
  static Portfolio portfolio;
  OkPrompter prompter;
  Prompter* previous = Prompter::install(&prompter);
  CSettingsStore settings;
  settings.OpenBaseKey();
  const std::string dir = (portfolio.dir / "p").string();
  CQuotesGridModel model;
  load_quotes(model, dir, "LONG");
  const ModelQuoteRows rows(model);
  const core::ViewState view{dir,     "LONG",          (portfolio.dir / "p" / "MASTER").string(),
                             kQuotes, portfolio.first, portfolio.last};
  for (auto _ : state) {
    const QuoteCommandOutcome outcome = runSplitCommand({nullptr, view, settings, rows, 0});
    if (!outcome.reload || prompter.messages != 0) state.SkipWithError("the split failed");
    model.clear();
    if (load_quotes(model, dir, "LONG").loaded != kQuotes)
      state.SkipWithError("the series did not load whole");
  }
  Prompter::install(previous);
  state.SetItemsProcessed(state.iterations() * kQuotes);
}
BENCHMARK(BM_SplitRewriteAndReloadFullSeries)->Unit(benchmark::kMillisecond);

}  // namespace
