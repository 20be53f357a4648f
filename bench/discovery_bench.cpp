// The portfolio discovery walk over a generated tree of 20,420 directories, 2,000 of them
// portfolios. Set DORVANE_DISCOVERY_TREE to a directory to build (or reuse) the tree there and
// keep it, e.g. to time `find TREE -iname MASTER -type f` on the same tree.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/discovery.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTop = 20;
constexpr int kMiddle = 20;
constexpr int kLeaves = 50;

class Tree {
 public:
  Tree() {
    if (const char* given = std::getenv("DORVANE_DISCOVERY_TREE")) {
      m_root = given;
      m_keep = true;
    } else {
      m_root = fs::temp_directory_path() /
               ("dorvane-discovery-bench-" + std::to_string(std::random_device{}()));
    }
    if (fs::exists(m_root / "done")) return;
    for (int a = 0; a < kTop; ++a) {
      for (int b = 0; b < kMiddle; ++b) {
        for (int c = 0; c < kLeaves; ++c) {
          const fs::path leaf = m_root / ("drive" + std::to_string(a)) /
                                ("data" + std::to_string(b)) / ("set" + std::to_string(c));
          fs::create_directories(leaf);
          std::ofstream(leaf / "notes.txt") << "x";
          if (c % 10 == 0) {
            std::ofstream(leaf / (c % 20 == 0 ? "MASTER" : "master")) << "x";
            std::ofstream(leaf / "F1.DAT") << "x";
          }
        }
      }
    }
    std::ofstream(m_root / "done") << "x";
  }
  ~Tree() {
    std::error_code ec;
    if (!m_keep) fs::remove_all(m_root, ec);
  }
  std::string root() const { return m_root.string(); }

 private:
  fs::path m_root;
  bool m_keep = false;
};

const Tree& tree() {
  static Tree instance;
  return instance;
}

void BM_DiscoveryWalk(benchmark::State& state) {
  const std::string root = tree().root();
  std::size_t found = 0;
  for (auto _ : state) {
    const auto portfolios = core::find_portfolios(root, core::PortfolioFilter());
    found = portfolios.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["portfolios"] = static_cast<double>(found);
  state.counters["directories"] = kTop * kMiddle * kLeaves + kTop * kMiddle + kTop + 1;
}
BENCHMARK(BM_DiscoveryWalk)->Unit(benchmark::kMillisecond);

}  // namespace
