#include "command_fixture.h"

#include <gtest/gtest.h>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "support/portfolio_builder.h"

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

core::ViewState view_of(const std::string& dir, const std::string& key) {
  core::ViewState view;
  core::read_view_state(dir, key, view);
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
  testing_support::make_portfolio(dir(), {{1, "TEST", "TEST ISSUE", bars}});
}

std::string SamplePortfolio::data() const {
  return testing_support::read_bytes(m_temp.path() / "F1.DAT");
}

std::string SamplePortfolio::master() const {
  return testing_support::read_bytes(m_temp.path() / "MASTER");
}

}  // namespace command_testing
