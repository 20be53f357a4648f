#include "command_fixture.h"

#include <gtest/gtest.h>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace command_testing {

qdb::DateSerial day(int year, int month, int d) { return qdb::date_serial(year, month, d); }

std::vector<qdb::QuoteBar> sample_bars() {
  std::vector<qdb::QuoteBar> bars;
  const qdb::DateSerial dates[] = {day(1999, 12, 29), day(1999, 12, 30), day(2000, 1, 3),
                                   day(2000, 1, 4), day(2000, 1, 5)};
  float base = 10.125f;
  for (qdb::DateSerial date : dates) {
    qdb::QuoteBar bar;
    bar.date = date;
    bar.open = base;
    bar.high = base + 1.33333f;  // not exact in "%.4f": a rewrite must never round it
    bar.low = base - 0.5f;
    bar.close = base + 0.25f;
    bar.volume = 1001.0f + base;
    bar.oi = 77.0f + base;
    bars.push_back(bar);
    base += 1.0f;
  }
  return bars;
}

void make_portfolio(const std::string& dir, const std::vector<SymbolSpec>& symbols,
                    const std::vector<qdb::QuoteBar>& bars, int record_length) {
  ASSERT_TRUE(qdb::create_portfolio(dir));
  const qdb::SeriesLayout layout = qdb::default_layout(record_length);
  for (const SymbolSpec& wanted : symbols) {
    ASSERT_TRUE(qdb::write_data_file(dir, wanted.file_number, bars, layout, record_length));
    if (wanted.with_dop) {
      ASSERT_TRUE(qdb::write_dop_file(dir, wanted.file_number, layout));
    }
    const qdb::DateSerial first = bars.empty() ? 0 : bars.front().date;
    const qdb::DateSerial last = bars.empty() ? 0 : bars.back().date;
    ASSERT_TRUE(qdb::append_master_record(
        dir, qdb::make_master_record(wanted.file_number, wanted.symbol, wanted.name, record_length,
                                     record_length / 4, first, last)));
  }
}

core::ViewState view_of(const std::string& dir, const std::string& key) {
  core::ViewState view;
  view.portfolio_dir = dir;
  view.symbol = key;
  view.master_path = qdb::DirListing(qdb::normalize_dir(dir)).resolve("MASTER");
  const std::vector<qdb::QuoteBar> bars = read_bars(dir, key);
  view.quote_count = static_cast<int>(bars.size());
  if (!bars.empty()) {
    view.first_date_text = qdb::format_date_string(bars.front().date);
    view.last_date_text = qdb::format_date_string(bars.back().date);
  }
  return view;
}

std::vector<qdb::QuoteBar> read_bars(const std::string& dir, const std::string& key) {
  qdb::QuoteSeries series;
  EXPECT_EQ(qdb::series_alloc(series, 1000), qdb::kSuccess);
  std::vector<qdb::QuoteBar> bars;
  if (qdb::read_series(series, dir, key, 0, -1) != qdb::kSuccess) return bars;
  for (int row = 0; row < series.count; ++row) bars.push_back(series.bar(row));
  return bars;
}

float mbf_at(const std::string& bytes, std::size_t offset) {
  return qdb::mbf_to_float(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

SamplePortfolio::SamplePortfolio(const std::vector<qdb::QuoteBar>& bars) {
  make_portfolio(dir(), {{1, "TEST", "TEST ISSUE"}}, bars);
}

std::string SamplePortfolio::data() const {
  return testing_support::read_bytes(m_temp.path() / "F1.DAT");
}

std::string SamplePortfolio::master() const {
  return testing_support::read_bytes(m_temp.path() / "MASTER");
}

}  // namespace command_testing
