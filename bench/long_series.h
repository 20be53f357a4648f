// A long daily series for the benchmarks that read, export, rewrite or load it: 32766 quotes,
// ninety years of days from 1961. A header counts up to 65,535 records; the walks the
// benchmarks time are linear in the length, so this one tells the cost of the longest too.
#pragma once

#include <string>
#include <vector>

#include "qdb/dates.h"
#include "qdb/series.h"
#include "qdb/writer.h"

namespace bench_support {

inline constexpr int kLongQuotes = 32766;

// Daily quotes from 2 January 1961 whose prices cycle through 500 steps of an eighth.
inline std::vector<qdb::QuoteBar> long_series_bars() {
  std::vector<qdb::QuoteBar> bars;
  bars.reserve(kLongQuotes);
  qdb::DateSerial date = qdb::date_serial(1961, 1, 2);
  for (int i = 0; i < kLongQuotes; ++i, ++date) {
    const float price = 10.0f + static_cast<float>(i % 500) / 8.0f;
    bars.push_back({date, 0, price, price + 1.0f, price - 1.0f, price + 0.5f,
                    static_cast<float>(1000 + i), static_cast<float>(i % 77)});
  }
  return bars;
}

// Creates the portfolio dir holding the one symbol LONG (file 1, 28-byte records) with bars.
inline bool write_long_portfolio(const std::string& dir, const std::vector<qdb::QuoteBar>& bars) {
  return qdb::create_portfolio(dir) &&
         qdb::write_data_file(dir, 1, bars, qdb::default_layout(28), 28) &&
         qdb::append_master_record(
             dir, qdb::make_master_record(1, "LONG", "LONG SERIES", 28, 7, bars.front().date,
                                          bars.back().date));
}

}  // namespace bench_support
