// How the listing and the split search grow with the number of symbols in one portfolio: 255
// MASTER symbols plus XMASTER symbols whose F<n>.MWD files hold 5 to 200 quotes, with lower-case
// file names, as a vendor's portfolio has them. Both should grow linearly. With
// DORVANE_SCALE_PORTFOLIO set to a directory, the 2,846-symbol portfolio is built there and kept
// (for timing the command line on it); DORVANE_WIDE_PORTFOLIO and DORVANE_LONG_PORTFOLIO keep the
// 65,255-entry listing and the 32,766-quote series the same way. cli_process_bench times the
// command line on all three.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/bulk_export.h"
#include "core/export.h"
#include "core/split_search.h"
#include "core/symbol_listing.h"
#include "core/symbol_rows.h"
#include "qdb/master_file.h"
#include "scale_portfolio.h"

namespace fs = std::filesystem;

namespace {

class Quiet : public core::SplitSearchObserver {
 public:
  void result_line(const std::string&) override { ++lines; }
  void status(const std::string&) override {}
  void message(const std::string&) override {}
  int lines = 0;
};

// The symbols command's work: the MASTER and XMASTER rows, sorted.
void BM_Listing(benchmark::State& state) {
  const std::string dir = bench_support::scale_portfolio(static_cast<int>(state.range(0))).dir();
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
  const std::string dir = bench_support::scale_portfolio(static_cast<int>(state.range(0))).dir();
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
  const std::string dir = bench_support::scale_portfolio(static_cast<int>(state.range(0))).dir();
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

// The listing the symbols command and the symbols grid share, streamed: nothing kept per row.
void BM_SymbolListing(benchmark::State& state) {
  const std::string dir = bench_support::scale_portfolio(static_cast<int>(state.range(0))).dir();
  int rows = 0;
  for (auto _ : state) {
    core::SymbolListingSink sink;
    std::size_t bytes = 0;
    sink.row = [&bytes](const core::SymbolRow& row) { bytes += row.symbol.size(); };
    const auto outcome = core::list_symbols(qdb::master_path_in(dir), sink, nullptr, false);
    rows = outcome.master_rows + outcome.extended_rows;
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["rows"] = rows;
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SymbolListing)
    ->Arg(255)
    ->Arg(2846)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The same over an XMASTER of 65,255 entries.
void BM_WideSymbolListing(benchmark::State& state) {
  const std::string dir = bench_support::wide_listing().dir();
  int rows = 0;
  for (auto _ : state) {
    core::SymbolListingSink sink;
    std::size_t bytes = 0;
    sink.row = [&bytes](const core::SymbolRow& row) { bytes += row.name.size(); };
    const auto outcome = core::list_symbols(qdb::master_path_in(dir), sink, nullptr, false);
    rows = outcome.master_rows + outcome.extended_rows;
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["rows"] = rows;
}
BENCHMARK(BM_WideSymbolListing)->Unit(benchmark::kMillisecond);

// Exporting one small symbol of the 2,846-symbol portfolio: the lookup dominates, not the
// quotes.
void BM_ExportSmallSymbol(benchmark::State& state) {
  const std::string dir = bench_support::scale_portfolio(2846).dir();
  const core::ExportOptions options;
  for (auto _ : state) {
    std::size_t bytes = 0;
    const core::ExportResult result =
        core::export_quotes(dir, "S3", options, [&bytes](std::string_view text) {
          bytes += text.size();
          return true;
        });
    if (!result.written) state.SkipWithError("export failed");
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ExportSmallSymbol)->Unit(benchmark::kMicrosecond);

// Keeps a 2,846-symbol portfolio where DORVANE_SCALE_PORTFOLIO names, before the benchmarks run.
const bool kept = [] {
  if (const char* where = std::getenv("DORVANE_SCALE_PORTFOLIO"))
    bench_support::build_portfolio(where, 2846);
  // Likewise the 65,255-entry listing and the 32,766-quote series LONG.
  if (const char* where = std::getenv("DORVANE_WIDE_PORTFOLIO"))
    bench_support::build_wide_listing(where, bench_support::kWideXmasterEntries);
  if (const char* where = std::getenv("DORVANE_LONG_PORTFOLIO"))
    bench_support::write_long_portfolio(std::string(where) + "/",
                                        bench_support::long_series_bars());
  return true;
}();

}  // namespace
