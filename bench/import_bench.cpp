// Importing text into a new portfolio: one ticker file of 1,000,000 daily rows (20 symbols of
// 50,000 days), and 5,000 files of one year (250 rows) each. Every iteration makes a fresh
// portfolio, parses the files and writes them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/import.h"
#include "qdb/dates.h"

namespace fs = std::filesystem;

namespace {

class BenchDir {
 public:
  BenchDir() {
    m_dir = fs::temp_directory_path() /
            ("dorvane-import-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(m_dir);
  }
  ~BenchDir() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  const fs::path& path() const { return m_dir; }

 private:
  fs::path m_dir;
};

// Appends one ISO-dated row per weekday from start, count rows.
void append_rows(std::string& text, const char* ticker, qdb::DateSerial start, int count) {
  char line[160];
  float price = 20.0f;
  int written = 0;
  for (qdb::DateSerial day = start; written < count; ++day) {
    if (qdb::is_weekend(day)) continue;
    int y = 0, m = 0, d = 0;
    qdb::split_date(day, y, m, d);
    price += (written % 7 < 4 ? 0.125f : -0.125f);
    const int n =
        ticker != nullptr
            ? std::snprintf(line, sizeof line, "%s,%04d-%02d-%02d,%.2f,%.2f,%.2f,%.2f,%d\n", ticker,
                            y + 1900, m, d, price, price + 0.5f, price - 0.5f, price + 0.25f,
                            100000 + written % 1000)
            : std::snprintf(line, sizeof line, "%04d-%02d-%02d,%.2f,%.2f,%.2f,%.2f,%d\n", y + 1900,
                            m, d, price, price + 0.5f, price - 0.5f, price + 0.25f,
                            100000 + written % 1000);
    text.append(line, static_cast<std::size_t>(n));
    ++written;
  }
}

void write_file(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Makes a new portfolio under base and imports paths into it.
bool import_into_new(const fs::path& base, int round, const std::vector<std::string>& paths) {
  const std::string dir = (base / ("P" + std::to_string(round))).string();
  core::ImportError error;
  if (!core::create_new_portfolio(dir, error)) return false;
  const core::ImportOptions options;
  const core::ImportParse parse = core::parse_import(paths, options);
  if (!parse.ok) return false;
  return core::write_import(dir, parse.data, options).ok;
}

void BM_ImportTickerFile(benchmark::State& state) {
  BenchDir dir;
  std::string text = "TICKER,DATE,OPEN,HIGH,LOW,CLOSE,VOLUME\n";
  text.reserve(60'000'000);
  for (int s = 0; s < 20; ++s) {
    const std::string ticker = "SYM" + std::to_string(s);
    append_rows(text, ticker.c_str(), qdb::date_serial(1900, 1, 1), 50000);
  }
  const fs::path file = dir.path() / "tickers.csv";
  write_file(file, text);
  int round = 0;
  for (auto _ : state) {
    if (!import_into_new(dir.path(), round++, {file.string()}))
      state.SkipWithError("import failed");
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_ImportTickerFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The parse alone, for comparison: the text is read, split, converted and sorted per symbol.
void BM_ParseTickerFile(benchmark::State& state) {
  BenchDir dir;
  std::string text = "TICKER,DATE,OPEN,HIGH,LOW,CLOSE,VOLUME\n";
  for (int s = 0; s < 20; ++s) {
    const std::string ticker = "SYM" + std::to_string(s);
    append_rows(text, ticker.c_str(), qdb::date_serial(1900, 1, 1), 50000);
  }
  for (auto _ : state) {
    const core::ImportParse parse = core::parse_import_text(text, "tickers.csv", {});
    if (!parse.ok) state.SkipWithError("parse failed");
  }
  state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_ParseTickerFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportManyFiles(benchmark::State& state) {
  BenchDir dir;
  std::vector<std::string> paths;
  for (int f = 0; f < 5000; ++f) {
    std::string text = "Date,Open,High,Low,Close,Volume\n";
    append_rows(text, nullptr, qdb::date_serial(2023, 1, 2), 250);
    const fs::path path = dir.path() / ("S" + std::to_string(f) + ".csv");
    write_file(path, text);
    paths.push_back(path.string());
  }
  int round = 0;
  for (auto _ : state) {
    if (!import_into_new(dir.path(), round++, paths)) state.SkipWithError("import failed");
  }
  state.SetItemsProcessed(state.iterations() * 5000 * 250);
}
BENCHMARK(BM_ImportManyFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
