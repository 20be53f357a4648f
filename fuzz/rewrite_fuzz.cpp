// Fuzzes the quote rewrite: a random edit request (set, scale, delete or insert, any dates,
// records and values) on a small portfolio whose MASTER, data and layout files the input
// patches. It must not crash, and when it fails the files stay byte for byte as they were.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "core/view_state.h"
#include "fuzz_portfolio.h"
#include "fuzz_work_dir.h"
#include "qdb/dates.h"

namespace fs = std::filesystem;

namespace {

struct Base {
  FuzzWorkDir work{"rewrite-fuzz"};
  fuzz::Files files;
  Base() {
    files = fuzz::make_portfolio(work.path() / "P", {{1, "AAA", "ALPHA", 28, true},
                                                     {2, "BBB", "BRAVO", 20, false},
                                                     {256, "XXX", "XRAY", 24, true}});
  }
};

const float kValues[] = {std::numeric_limits<float>::quiet_NaN(),
                         0.0f,
                         1.0f,
                         2.0f,
                         0.5f,
                         -1.0f,
                         99.25f,
                         1e30f,
                         -1e-30f,
                         std::numeric_limits<float>::infinity(),
                         1.7e38f,
                         3.0f};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Base base;
  fuzz::Input input(data, size);
  qdb::SeriesEditRequest request;
  request.op = static_cast<qdb::SeriesOp>(input.byte() % 7);
  const std::uint8_t flags = input.byte();
  const qdb::DateSerial january = qdb::date_serial(2000, 1, 3);
  request.first_date =
      static_cast<qdb::DateSerial>(january + static_cast<std::int8_t>(input.byte()));
  request.last_date =
      static_cast<qdb::DateSerial>(january + static_cast<std::int8_t>(input.byte()));
  if ((flags & 1) != 0) request.record = static_cast<std::int8_t>(input.byte());
  if ((flags & 2) != 0) request.seconds = input.word();
  request.every_match = (flags & 4) != 0;
  for (float& value : request.values) value = kValues[input.byte() % std::size(kValues)];
  const char* keys[] = {"AAA", "BBB", "XXX", "ALPHA", "ZZZ"};
  const std::string key = keys[(flags >> 3) % std::size(keys)];
  const int file_number = (flags & 0x80) != 0 ? input.byte() : 0;

  fuzz::Files files = base.files;
  input.patch(files, {"MASTER", "EMASTER", "XMASTER", "F1.DAT", "F1.DOP", "F2.DAT", "F256.MWD",
                      "F256.DOP"});
  const fs::path dir = base.work.path() / "P";
  fuzz::put_files(dir, files);

  core::ViewState view;
  core::read_view_state(dir.string(), key, view, file_number);
  if (view.portfolio_dir.empty()) {
    view.portfolio_dir = dir.string();
    view.symbol = key;
    view.master_path = (dir / "MASTER").string();
  }
  const qdb::Result<void> done = core::rewrite_view_series(view, request);
  fuzz::Files after = fuzz::files_of(dir);
  for (const auto& [name, bytes] : after)
    if (name.find(".NEW") != std::string::npos || name.find(".tmp") != std::string::npos)
      __builtin_trap();  // a temporary file left behind
  // A backup of the data file as it still is may stay (it is kept before the pass reads the
  // file); it holds nothing the data file does not.
  for (const char* data_name : {"F1.DAT", "F2.DAT", "F256.MWD"}) {
    const std::string backup =
        std::string(data_name).substr(0, std::string(data_name).find('.')) + ".BAK";
    if (!files.contains(backup) && after.contains(backup) && files.contains(data_name) &&
        after.at(backup) == files.at(data_name))
      after.erase(backup);
  }
  // A failure changes nothing, except the one the caller is told of: the quote deleted while
  // the MASTER's dates could not follow ("Run repair to correct it").
  if (!done && after != files && done.error().cause.find("Run repair") == std::string::npos)
    __builtin_trap();
  return 0;
}
