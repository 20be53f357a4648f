// Verify over the generated 2,846-symbol portfolio, and over a tree of 50 portfolios of 255
// symbols each: every data file read once.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "core/verify.h"
#include "scale_portfolio.h"

namespace {

namespace fs = std::filesystem;

// 50 portfolios of 255 symbols, built on first use in the temporary directory: the walk of a
// tree does not enter /dev, where the other scratch portfolios are.
class TreeRoot {
 public:
  TreeRoot()
      : m_dir(fs::temp_directory_path() /
              ("dorvane-verify-tree-" + std::to_string(std::random_device{}()))) {
    for (int i = 0; i < 50; ++i)
      bench_support::build_portfolio(m_dir / ("p" + std::to_string(i)), 255);
  }
  ~TreeRoot() {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
  std::string dir() const { return m_dir.string() + "/"; }

 private:
  fs::path m_dir;
};

const TreeRoot& verify_tree_root() {
  static const TreeRoot built;
  return built;
}

void BM_VerifyPortfolio(benchmark::State& state) {
  const std::string dir = bench_support::scale_portfolio(static_cast<int>(state.range(0))).dir();
  core::VerifyOptions options;
  options.today = qdb::date_serial(2030, 1, 1);
  core::VerifySummary summary;
  for (auto _ : state) {
    summary = core::verify_portfolio(
        dir, options, [](const core::Finding& f) { benchmark::DoNotOptimize(f.kind); });
  }
  state.counters["symbols"] = summary.symbols;
  state.counters["findings"] = summary.findings;
}
BENCHMARK(BM_VerifyPortfolio)->Arg(2846)->Unit(benchmark::kMillisecond);

void BM_VerifyTree(benchmark::State& state) {
  const std::string root = verify_tree_root().dir();
  core::VerifyOptions options;
  options.today = qdb::date_serial(2030, 1, 1);
  core::VerifySummary summary;
  for (auto _ : state) {
    summary = core::verify_tree(root, options,
                                [](const core::Finding& f) { benchmark::DoNotOptimize(f.kind); });
  }
  state.counters["symbols"] = summary.symbols;
  state.counters["findings"] = summary.findings;
}
BENCHMARK(BM_VerifyTree)->Unit(benchmark::kMillisecond);

}  // namespace
