// How the listing and the split search grow with the number of symbols in one portfolio: 255
// MASTER symbols plus XMASTER symbols whose F<n>.MWD files hold 5 to 200 quotes, with lower-case
// file names, as a vendor's portfolio has them. Both should grow linearly. With
// DORVANE_SCALE_PORTFOLIO set to a directory, the 2,846-symbol portfolio is built there and kept
// (for timing the command line on it).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/bulk_export.h"
#include "core/split_search.h"
#include "core/symbol_rows.h"
#include "qdb/bytes.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRecordLength = 28;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Builds the portfolio in dir: the MASTER's 255 symbols, then the XMASTER's.
void build_portfolio(const fs::path& where, int symbols) {
  const std::string dir = where.string() + "/";
  qdb::create_portfolio(dir);
  std::mt19937 random(static_cast<unsigned>(symbols));
  std::uniform_int_distribution<int> quotes(5, 200);
  std::uniform_real_distribution<float> step(-0.02f, 0.02f);
  const qdb::SeriesLayout layout = qdb::default_layout(kRecordLength);
  std::string xmaster(qdb::kXmasterRecordSize, '\0');
  int extended = 0;
  for (int n = 1; n <= symbols; ++n) {
    const int number = n <= qdb::kMaxSymbols ? n : qdb::kFirstExtendedNumber + (n - 256);
    std::vector<qdb::QuoteBar> bars(static_cast<std::size_t>(quotes(random)));
    float close = 50.0f;
    for (std::size_t i = 0; i < bars.size(); ++i) {
      close *= 1.0f + step(random);
      if (i == bars.size() / 2 && n % 7 == 0) close /= 2.0f;  // a split now and then
      qdb::QuoteBar& bar = bars[i];
      bar.date = static_cast<qdb::DateSerial>(qdb::date_serial(2020, 1, 1) + static_cast<int>(i));
      bar.open = close;
      bar.high = close * 1.01f;
      bar.low = close * 0.99f;
      bar.close = close;
      bar.volume = 1000.0f;
    }
    qdb::write_data_file(dir, number, bars, layout, kRecordLength);
    const std::string written = qdb::data_file_name(number, "DAT");
    fs::rename(where / written, where / lower(qdb::quote_file_name(number)));
    const qdb::MasterRecord record = qdb::make_master_record(
        number, "S" + std::to_string(n), "ISSUE " + std::to_string(n), kRecordLength,
        kRecordLength / 4, bars.front().date, bars.back().date);
    if (number < qdb::kFirstExtendedNumber) {
      qdb::append_master_record(dir, record);
      continue;
    }
    std::string entry(qdb::kXmasterRecordSize, '\0');
    qdb::fill_xmaster_entry(reinterpret_cast<std::uint8_t*>(entry.data()), record, number,
                            "ISSUE " + std::to_string(n));
    xmaster += entry;
    ++extended;
  }
  if (extended > 0) {
    auto* header = reinterpret_cast<std::uint8_t*>(xmaster.data());
    header[qdb::xmaster_offset::kMagic] = 'X';
    header[qdb::xmaster_offset::kMagic + 1] = 'M';
    qdb::write_u16le(header + qdb::xmaster_offset::kCount, static_cast<std::uint16_t>(extended));
    qdb::write_u16le(header + qdb::xmaster_offset::kCount2, static_cast<std::uint16_t>(extended));
    qdb::write_u16le(header + qdb::xmaster_offset::kNextNumber,
                     static_cast<std::uint16_t>(qdb::kFirstExtendedNumber + extended));
    std::ofstream(where / "xmaster", std::ios::binary) << xmaster;
  }
  fs::rename(where / "MASTER", where / "master");
}

fs::path scratch_root() {
  std::error_code ec;
  const fs::path shm("/dev/shm");
  return fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
}

class Portfolio {
 public:
  explicit Portfolio(int symbols)
      : m_dir(scratch_root() / ("dorvane-scale-bench-" + std::to_string(symbols) + "-" +
                                std::to_string(std::random_device{}()))) {
    build_portfolio(m_dir, symbols);
  }
  ~Portfolio() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  Portfolio(const Portfolio&) = delete;
  Portfolio& operator=(const Portfolio&) = delete;
  std::string dir() const { return m_dir.string() + "/"; }

 private:
  fs::path m_dir;
};

// One portfolio per size, built on first use and kept for the run.
const Portfolio& portfolio(int symbols) {
  static std::map<int, std::unique_ptr<Portfolio>> built;
  auto& slot = built[symbols];
  if (!slot) slot = std::make_unique<Portfolio>(symbols);
  return *slot;
}

class Quiet : public core::SplitSearchObserver {
 public:
  void result_line(const std::string&) override { ++lines; }
  void status(const std::string&) override {}
  void message(const std::string&) override {}
  int lines = 0;
};

// The symbols command's work: the MASTER and XMASTER rows, sorted.
void BM_Listing(benchmark::State& state) {
  const std::string dir = portfolio(static_cast<int>(state.range(0))).dir();
  std::size_t rows = 0;
  for (auto _ : state) {
    const auto listing = core::read_master_rows(qdb::master_path_in(dir));
    const auto sorted = core::sorted_rows(listing.rows);
    rows = sorted.size();
    benchmark::DoNotOptimize(sorted.data());
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Listing)
    ->Arg(255)
    ->Arg(2846)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_SplitSearch(benchmark::State& state) {
  const std::string dir = portfolio(static_cast<int>(state.range(0))).dir();
  const auto rows = core::sorted_rows(core::read_master_rows(qdb::master_path_in(dir)).rows);
  int lines = 0;
  for (auto _ : state) {
    Quiet quiet;
    const auto summary = core::split_search(dir, rows, quiet);
    benchmark::DoNotOptimize(summary);
    lines = quiet.lines;
  }
  state.counters["symbols"] = static_cast<double>(rows.size());
  state.counters["lines"] = lines;
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitSearch)
    ->Arg(255)
    ->Arg(2846)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Every symbol exported to a directory on the same scratch file system: the plan (one listing,
// the index files read once), a temporary file per symbol, one sync and the renames.
void BM_ExportAll(benchmark::State& state) {
  const std::string dir = portfolio(static_cast<int>(state.range(0))).dir();
  const fs::path out = fs::path(dir) / "export-all-out";
  fs::create_directories(out);
  core::BulkExportRequest request;
  request.out_dir = out.string();
  request.force = true;
  std::size_t written = 0;
  for (auto _ : state) {
    const core::BulkExportPlan plan(dir);
    const core::BulkExportResult result = core::run_bulk_export(plan, request);
    written = result.written;
    benchmark::DoNotOptimize(written);
  }
  state.counters["files"] = static_cast<double>(written);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ExportAll)
    ->Arg(255)
    ->Arg(2846)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Keeps a 2,846-symbol portfolio where DORVANE_SCALE_PORTFOLIO names, before the benchmarks run.
const bool kept = [] {
  if (const char* where = std::getenv("DORVANE_SCALE_PORTFOLIO")) build_portfolio(where, 2846);
  return true;
}();

}  // namespace
