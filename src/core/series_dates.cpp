#include "core/series_dates.h"

#include <string>

#include "core/quote_windows.h"
#include "qdb/dat.h"
#include "qdb/series.h"

namespace core {

std::optional<std::vector<qdb::DateSerial>> read_series_dates(std::string_view root,
                                                              std::string_view key,
                                                              int file_number) {
  std::optional<SeriesStamps> stamps = read_series_stamps(root, key, file_number);
  if (!stamps) return std::nullopt;
  return std::move(stamps->dates);
}

std::optional<SeriesStamps> read_series_stamps(std::string_view root, std::string_view key,
                                               int file_number) {
  // Windows of kQuoteWindow quotes keep memory bounded whatever the file holds.
  qdb::SeriesReader reader;
  if (reader.open(root, key, file_number) != qdb::kSuccess) return std::nullopt;
  const std::string key_text(key);
  SeriesStamps stamps;
  stamps.has_time = reader.has_time();
  const std::int32_t total = reader.total();
  const auto reserved = static_cast<std::size_t>(total > 0 ? total : 0);
  stamps.dates.reserve(reserved);
  stamps.seconds.reserve(reserved);
  qdb::QuoteSeries series;
  if (qdb::series_alloc(series, kQuoteWindow) != qdb::kSuccess) return std::nullopt;
  for (std::int32_t start = 0; start < total; start += kQuoteWindow) {
    if (reader.read(series, key_text, start, kQuoteWindow) != qdb::kSuccess) return std::nullopt;
    for (int row = 0; row < series.count; ++row) {
      stamps.dates.push_back(series.date(row));
      stamps.seconds.push_back(stamps.has_time ? series.seconds(row) : 0);
    }
    // A file shorter than its header claims ends here.
    if (series.count < kQuoteWindow) break;
  }
  return stamps;
}

}  // namespace core
