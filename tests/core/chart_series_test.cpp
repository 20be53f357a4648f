// Loading a whole series for the chart: order, absent and N/A fields, and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/chart_series.h"
#include "core/chart_ticks.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace {

TEST(ChartSeriesLoad, ReadsEveryQuoteOldestFirstWithNaNForAbsentAndNAFields) {
  testing_support::TempDir dir;
  // More quotes than one read window; DATE OPEN HIGH LOW CLOSE only (no volume, no OI).
  std::vector<qdb::QuoteBar> bars(901);
  for (int i = 0; i < 901; ++i) {
    qdb::QuoteBar& b = bars[static_cast<std::size_t>(i)];
    b.date = qdb::date_serial(1990, 1, 1) + i;
    b.close = static_cast<float>(i);
    b.open = i == 500 ? -1.0f : 1.0f;  // N/A
    b.high = 2000;
    b.low = 0.5f;
  }
  ASSERT_TRUE(qdb::create_portfolio(dir.dir()));
  ASSERT_TRUE(qdb::write_data_file(dir.dir(), 1, bars, qdb::default_layout(20), 20));
  ASSERT_TRUE(qdb::write_dop_file(dir.dir(), 1, qdb::default_layout(20)));
  ASSERT_TRUE(
      qdb::append_master_record(dir.dir(), qdb::make_master_record(1, "OLD", "OLD", 20, 5)));

  core::ChartSeries s;
  std::string message;
  ASSERT_TRUE(core::load_chart_series(dir.dir(), "OLD", s, message)) << message;
  EXPECT_EQ(message, "");
  ASSERT_EQ(s.size(), 901);
  for (int i = 0; i < 901; ++i) {
    ASSERT_EQ(s.date[i], bars[static_cast<std::size_t>(i)].date);
    ASSERT_EQ(s.close[i], static_cast<float>(i));
  }
  EXPECT_TRUE(std::isnan(s.open[500]));
  EXPECT_TRUE(std::isnan(s.volume[3]) && std::isnan(s.oi[3]));
  EXPECT_TRUE(s.has_open && s.has_high_low);
  EXPECT_FALSE(s.has_volume || s.has_oi || s.has_time);
  EXPECT_TRUE(s.seconds.empty());
  const core::ValueRange r = core::price_range(s, 0, 900);  // the index is built by the load
  EXPECT_EQ(s.ranges.count, 901);
  EXPECT_EQ(r.low, 0.0);
  EXPECT_EQ(r.high, 2000.0);
  int first = 0, last = 0;
  ASSERT_TRUE(core::chart_span_of_dates(s, bars[10].date, bars[19].date, first, last));
  EXPECT_EQ(first, 10);
  EXPECT_EQ(last, 19);
  EXPECT_FALSE(core::chart_span_of_dates(s, qdb::date_serial(2010, 1, 1), 0, first, last));

  // A file shorter than its header: the rows the grid shows too (the newest window's, down to
  // where the file ends), and a note of why the others are missing.
  std::filesystem::resize_file(dir.path() / "F1.DAT", 20 * 701);
  ASSERT_TRUE(core::load_chart_series(dir.dir(), "OLD", s, message));
  ASSERT_EQ(s.size(), 199);
  EXPECT_EQ(s.close.front(), 501.0f);
  EXPECT_EQ(s.close.back(), 699.0f);
  EXPECT_NE(message, "");

  // An unknown symbol: the system's wording, then the cause; nothing held.
  EXPECT_FALSE(core::load_chart_series(dir.dir(), "NOPE", s, message));
  EXPECT_EQ(message.rfind("Error in FillQuotesGrid\n", 0), 0u) << message;
  EXPECT_NE(message.find("NOPE"), std::string::npos) << message;
  EXPECT_EQ(s.size(), 0);
}

}  // namespace
