#include "support/intraday_portfolio.h"

#include <gtest/gtest.h>

#include "qdb/dates.h"
#include "qdb/writer.h"

namespace testing_support {

std::vector<qdb::QuoteBar> intraday_bars() {
  const std::int32_t times[] = {9 * 3600 + 30 * 60, 11 * 3600 + 30 * 60 + 37, 16 * 3600};
  std::vector<qdb::QuoteBar> bars;
  float price = 1300.25f;
  for (int day : {2, 3, 5, 6}) {
    for (std::int32_t seconds : times) {
      bars.push_back({qdb::date_serial(2011, 5, day), qdb::time_code_of_seconds(seconds), price,
                      price + 2.5f, price - 1.75f, price + 0.5f, 1200.0f + price, 0.0f, seconds});
      price += 3.0f;
    }
  }
  for (int k : {4, 3, 5}) bars.push_back(bars[static_cast<std::size_t>(k)]);
  return bars;
}

void make_intraday_portfolio(const std::string& dir) {
  ASSERT_TRUE(qdb::create_portfolio(dir));
  qdb::SeriesLayout layout;
  for (int f = 0; f < qdb::kFieldCountAll; ++f) layout.column[f] = static_cast<std::int16_t>(f + 1);
  const std::vector<qdb::QuoteBar> bars = intraday_bars();
  ASSERT_TRUE(qdb::write_data_file(dir, 1, bars, layout, kIntradayRecord));
  qdb::MasterRecord record = qdb::make_master_record(1, "ES", "E-MINI S&P", kIntradayRecord, 8,
                                                     bars.front().date, bars.back().date);
  record.bytes[qdb::master_offset::kPeriodicity] = 'I';
  ASSERT_TRUE(qdb::append_master_record(dir, record));
}

std::string intraday_record(const std::string& data, int k) {
  const std::size_t at =
      static_cast<std::size_t>(kIntradayRecord) * static_cast<std::size_t>(k + 1);
  return at < data.size() ? data.substr(at, kIntradayRecord) : std::string();
}

}  // namespace testing_support
