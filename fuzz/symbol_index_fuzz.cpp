// Fuzzes the index transaction through the symbol commands: rename, delete, copy and move of
// a symbol between two small portfolios whose MASTER, EMASTER and XMASTER the input patches.
// No crash; when a command fails, both portfolios stay byte for byte as they were.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/delete_symbol.h"
#include "core/rename_symbol.h"
#include "core/transfer_symbol.h"
#include "fuzz_portfolio.h"
#include "fuzz_work_dir.h"

namespace fs = std::filesystem;

namespace {

struct Base {
  FuzzWorkDir work{"symbol-index-fuzz"};
  fuzz::Files p, d;
  Base() {
    p = fuzz::make_portfolio(work.path() / "P", {{1, "AAA", "ALPHA", 28, true},
                                                 {2, "BBB", "BRAVO", 20, false},
                                                 {256, "XXX", "XRAY", 24, true}});
    d = fuzz::make_portfolio(work.path() / "D", {{1, "CCC", "CHARLIE", 28, true}});
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Base base;
  fuzz::Input input(data, size);
  const std::uint8_t command = input.byte();
  const char* symbols[] = {"AAA", "BBB", "XXX", "CCC", "aaa", ""};
  const std::string symbol = symbols[input.byte() % std::size(symbols)];
  const int file_number = (command & 0x80) != 0 ? input.byte() : 0;

  fuzz::Files p = base.p, d = base.d;
  // The patches fall on the index files of both portfolios: P's come first, then D's (named
  // with a "D/" in front here only).
  fuzz::Files both = p;
  for (const auto& [name, bytes] : d) both["D/" + name] = bytes;
  input.patch(both, {"MASTER", "EMASTER", "XMASTER", "D/MASTER", "D/EMASTER"});
  p.clear();
  d.clear();
  for (const auto& [name, bytes] : both) {
    if (name.starts_with("D/"))
      d[name.substr(2)] = bytes;
    else
      p[name] = bytes;
  }
  const fs::path pdir = base.work.path() / "P", ddir = base.work.path() / "D";
  fuzz::put_files(pdir, p);
  fuzz::put_files(ddir, d);

  bool failed = false;
  bool partly_done = false;  // a failure the result says left part of the change in place
  switch ((command & 0x7F) % 6) {
    case 0:
      failed =
          !core::rename_symbol((pdir / "MASTER").string(), symbol, "NEW", "NEW NAME", file_number)
               .ok;
      break;
    case 1:
      failed =
          !core::delete_symbol(pdir.string(), (pdir / "MASTER").string(), symbol, file_number).ok;
      break;
    default: {
      const bool from_p = (command & 0x7F) % 6 < 4;
      const core::TransferMode mode =
          (command & 1) != 0 ? core::TransferMode::Move : core::TransferMode::Copy;
      const core::TransferResult result =
          core::transfer_symbol((from_p ? pdir : ddir).string(), symbol,
                                (from_p ? ddir : pdir).string(), mode, file_number);
      failed = !result.ok;
      partly_done = result.outcome == core::TransferOutcome::kAdded;
      break;
    }
  }
  if (failed && !partly_done && (fuzz::files_of(pdir) != p || fuzz::files_of(ddir) != d))
    __builtin_trap();
  return 0;
}
