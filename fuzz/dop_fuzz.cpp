// Fuzzes the DOP layout parser: any text gives a layout, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "qdb/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  qdb::SeriesLayout layout;
  qdb::parse_dop_text(text, layout);
  for (int f = 0; f < qdb::kFieldCountAll; ++f) {
    if (layout.column[f] < 0) __builtin_trap();
    // Every recognised line starts with a quote, so no more columns than quotes in the text.
    if (static_cast<std::size_t>(layout.column[f]) > size) __builtin_trap();
  }
  return 0;
}
