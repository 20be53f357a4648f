// Reading a full-length data file in grid windows, and exporting it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/export.h"
#include "core/quote_texts.h"
#include "core/quote_windows.h"
#include "long_series.h"
#include "qdb/dat.h"
#include "qdb/dates.h"

namespace fs = std::filesystem;

namespace {

constexpr int kQuotes = bench_support::kLongQuotes;

// A portfolio holding one symbol LONG of kQuotes daily quotes in 28-byte records, created once
// and removed at exit.
class LongSeries {
 public:
  LongSeries() {
    m_dir = fs::temp_directory_path() / ("dorvane-bench-" + std::to_string(std::random_device{}()));
    std::vector<qdb::QuoteBar> bars;
    bars.reserve(kQuotes);
    qdb::DateSerial day = qdb::date_serial(1961, 1, 2);
    float price = 20.0f;
    for (int i = 0; i < kQuotes; ++i, ++day) {
      qdb::QuoteBar bar;
      bar.date = day;
      price += (i % 7 < 4 ? 0.125f : -0.125f);
      bar.open = price;
      bar.high = price + 0.5f;
      bar.low = price - 0.5f;
      bar.close = price + 0.25f;
      bar.volume = 100000.0f + static_cast<float>(i % 1000);
      bar.oi = 5000.0f + static_cast<float>(i % 50);
      bars.push_back(bar);
    }
    m_ok = bench_support::write_long_portfolio(dir(), bars);
  }
  ~LongSeries() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  bool ok() const { return m_ok; }
  std::string dir() const { return m_dir.string() + "/"; }

 private:
  fs::path m_dir;
  bool m_ok = false;
};

LongSeries& long_series() {
  static LongSeries series;
  return series;
}

// The quotes grid's load: windows of 400 from the newest backwards, seven cell texts per row.
void BM_ReadWindowsAndFormatGridTexts(benchmark::State& state) {
  LongSeries& data = long_series();
  if (!data.ok()) {
    state.SkipWithError("cannot create the data file");
    return;
  }
  for (auto _ : state) {
    core::NewestFirstQuotes quotes;
    if (!quotes.open(data.dir(), "LONG")) {
      state.SkipWithError("open failed");
      return;
    }
    std::size_t characters = 0;
    while (quotes.next()) {
      for (int row = quotes.rows() - 1; row >= 0; --row)
        for (const std::string& cell : core::quote_cell_texts(quotes.window().bar(row)))
          characters += cell.size();
    }
    benchmark::DoNotOptimize(characters);
    if (quotes.delivered() != kQuotes) state.SkipWithError("short read");
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}
BENCHMARK(BM_ReadWindowsAndFormatGridTexts)->Unit(benchmark::kMillisecond);

// The export's text, built in memory: reading and formatting without the disk.
void BM_ExportToMemory(benchmark::State& state) {
  LongSeries& data = long_series();
  if (!data.ok()) {
    state.SkipWithError("cannot create the data file");
    return;
  }
  core::ExportOptions options;
  options.title = true;
  for (auto _ : state) {
    std::size_t bytes = 0;
    const core::ExportResult result =
        core::export_quotes(data.dir(), "LONG", options, [&bytes](std::string_view text) {
          bytes += text.size();
          return true;
        });
    benchmark::DoNotOptimize(bytes);
    if (result.rows != kQuotes) state.SkipWithError("short export");
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}
BENCHMARK(BM_ExportToMemory)->Unit(benchmark::kMillisecond);

// The export as the user runs it: a new file written, flushed to disk and renamed into place.
void BM_ExportToFile(benchmark::State& state) {
  LongSeries& data = long_series();
  if (!data.ok()) {
    state.SkipWithError("cannot create the data file");
    return;
  }
  core::ExportOptions options;
  options.path = data.dir() + "export.txt";
  options.newest_first = state.range(0) != 0;
  for (auto _ : state) {
    const core::ExportResult result = core::export_quotes_to_file(data.dir(), "LONG", options);
    if (!result.written || result.rows != kQuotes) state.SkipWithError("export failed");
  }
  state.SetItemsProcessed(state.iterations() * kQuotes);
}
BENCHMARK(BM_ExportToFile)->Arg(0)->Arg(1)->ArgName("newest_first")->Unit(benchmark::kMillisecond);

}  // namespace
