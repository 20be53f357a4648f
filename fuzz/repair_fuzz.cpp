// Fuzzes the repair of a portfolio's index files: a small portfolio whose MASTER, EMASTER and
// XMASTER (and data files) the input patches is checked and repaired. No crash; when the
// repair fails, every file stays byte for byte as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/portfolio_repair.h"
#include "fuzz_portfolio.h"
#include "fuzz_work_dir.h"

namespace fs = std::filesystem;

namespace {

struct Base {
  FuzzWorkDir work{"repair-fuzz"};
  fuzz::Files files;
  Base() {
    files = fuzz::make_portfolio(work.path() / "P", {{1, "AAA", "ALPHA", 28, true},
                                                     {2, "BBB", "BRAVO", 20, false},
                                                     {256, "XXX", "XRAY", 24, true}});
  }
};

class Observer final : public core::RepairObserver {
 public:
  bool confirm(const std::string&) override { return true; }
  void report_dropped(const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Base base;
  fuzz::Input input(data, size);
  fuzz::Files files = base.files;
  input.patch(files, {"MASTER", "MASTER", "EMASTER", "XMASTER", "F1.DAT", "F256.MWD"});
  const fs::path dir = base.work.path() / "P";
  fuzz::put_files(dir, files);
  const std::string master = (dir / "MASTER").string();
  (void)core::check_portfolio(master);
  Observer observer;
  const core::PortfolioRepairResult result = core::repair_portfolio(master, observer, true);
  if (result.outcome == core::PortfolioRepairOutcome::kFailed && fuzz::files_of(dir) != files)
    __builtin_trap();
  return 0;
}
