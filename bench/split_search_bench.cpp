// The split search over a portfolio of 255 symbols of 5,000 quotes each, generated once.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/split_search.h"
#include "core/symbol_rows.h"
#include "qdb/dates.h"
#include "qdb/writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSymbols = 255;
constexpr int kQuotes = 5000;

class Portfolio {
 public:
  Portfolio()
      : m_dir(fs::temp_directory_path() /
              ("dorvane-split-bench-" + std::to_string(std::random_device{}()))) {
    const std::string dir = m_dir.string() + "/";
    qdb::create_portfolio(dir);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> step(-0.02f, 0.02f);
    const qdb::SeriesLayout layout = qdb::default_layout(28);
    for (int n = 1; n <= kSymbols; ++n) {
      std::vector<qdb::QuoteBar> bars(kQuotes);
      float close = 50.0f;
      for (int i = 0; i < kQuotes; ++i) {
        close *= 1.0f + step(random);
        if (i % 1000 == 999) close /= 2.0f;  // an unadjusted 2 for 1 split now and then
        qdb::QuoteBar& bar = bars[static_cast<std::size_t>(i)];
        bar.date = static_cast<qdb::DateSerial>(qdb::date_serial(1980, 1, 1) + i);
        bar.open = close;
        bar.high = close * 1.01f;
        bar.low = close * 0.99f;
        bar.close = close;
        bar.volume = 1000.0f;
      }
      qdb::write_data_file(dir, n, bars, layout, 28);
      qdb::append_master_record(dir, qdb::make_master_record(n, "S" + std::to_string(n),
                                                             "ISSUE " + std::to_string(n), 28, 7));
    }
    m_rows = core::sorted_rows(core::read_master_rows(dir + "MASTER").rows);
  }
  ~Portfolio() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  std::string dir() const { return m_dir.string(); }
  const std::vector<core::SymbolRow>& rows() const { return m_rows; }

 private:
  fs::path m_dir;
  std::vector<core::SymbolRow> m_rows;
};

class Quiet : public core::SplitSearchObserver {
 public:
  void result_line(const std::string&) override { ++lines; }
  void status(const std::string&) override {}
  void message(const std::string&) override {}
  int lines = 0;
};

void BM_SplitSearch(benchmark::State& state) {
  static Portfolio portfolio;
  int lines = 0;
  for (auto _ : state) {
    Quiet quiet;
    const auto summary = core::SplitSearch(portfolio.dir(), portfolio.rows(), quiet);
    benchmark::DoNotOptimize(summary);
    lines = quiet.lines;
  }
  state.counters["symbols"] = static_cast<double>(portfolio.rows().size());
  state.counters["lines"] = lines;
}
BENCHMARK(BM_SplitSearch)->Unit(benchmark::kMillisecond);

}  // namespace
