// The dates (and times) of every quote of a symbol, read afresh from its data file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>
#include "qdb/dates.h"

namespace core {

// Date serials of all quotes of key (found from root), in file order (oldest first).
// nullopt when the symbol or its data file can't be read. A non-zero file_number addresses the
// entry of root's own index files with that number (see qdb::find_symbol).
std::optional<std::vector<qdb::DateSerial>> read_series_dates(std::string_view root,
                                                              std::string_view key,
                                                              int file_number = 0);

// The date and time of every quote, in file order.
struct SeriesStamps {
  bool has_time = false;  // the layout maps a TIME column
  std::vector<qdb::DateSerial> dates;
  std::vector<std::int32_t> seconds;  // seconds since midnight (qdb::bar_seconds); 0 without times
};

// As read_series_dates, with each quote's time beside its date.
std::optional<SeriesStamps> read_series_stamps(std::string_view root, std::string_view key,
                                               int file_number = 0);

}  // namespace core
