// The suspect scan on made-up series: each kind of bad day is found on its day and nowhere
// else, and clean random walks are left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/demo_data.h"
#include "core/quote_texts.h"
#include "support/temp_dir.h"

namespace {

using core::SuspectReason;

core::ChartSeries series_of(const std::vector<qdb::QuoteBar>& bars) {
  core::ChartSeries s;
  core::fill_chart_series(s, bars, false);
  return s;
}

core::ChartSeries walk(std::uint64_t seed, double volatility, double price = 20,
                       double tick = 0.01) {
  core::DemoHistory h;
  h.seed = seed;
  h.first_date = qdb::date_serial(1995, 1, 2);
  h.last_date = qdb::date_serial(1996, 3, 29);  // about 320 quotes
  h.volatility = volatility;
  h.start_price = price;
  h.tick = tick;
  return series_of(core::demo_quotes(h));
}

using Found = std::vector<std::pair<int, SuspectReason>>;

Found found(const core::ChartSeries& s) {
  Found out;
  for (const core::Suspect& x : core::find_suspects(s)) out.emplace_back(x.index, x.reason);
  return out;
}

TEST(ChartSuspects, EachKindOfBadDayIsFoundOnItsDayAlone) {
  struct Case {
    const char* name;
    std::function<void(core::ChartSeries&)> spoil;
    Found expected;
  };
  const Case cases[] = {
      {"clean", [](core::ChartSeries&) {}, {}},
      // A bad close three times the price: the spike day only, not the way back.
      {"close spike",
       [](core::ChartSeries& s) {
         s.close[150] *= 3;
         s.high[150] = s.close[150];
       },
       {{150, SuspectReason::kJumpOutlier}}},
      {"high spike",
       [](core::ChartSeries& s) { s.high[120] = s.close[120] * 4; },
       {{120, SuspectReason::kRangeOutlier}}},
      {"high below low",
       [](core::ChartSeries& s) { std::swap(s.high[80], s.low[80]); },
       {{80, SuspectReason::kHighBelowLow}}},
      {"close above high",
       [](core::ChartSeries& s) { s.close[60] = s.high[60] * 1.01f; },
       {{60, SuspectReason::kCloseOutsideRange}}},
      {"close below low",
       [](core::ChartSeries& s) { s.close[61] = s.low[61] * 0.99f; },
       {{61, SuspectReason::kCloseOutsideRange}}},
      // A zero close is one suspect: the moves into and out of it are not measured.
      {"zero prices",
       [](core::ChartSeries& s) {
         s.open[40] = 0;
         s.close[200] = s.low[200] = 0;
       },
       {{40, SuspectReason::kZeroPrice}, {200, SuspectReason::kZeroPrice}}},
      // An unrecorded 2-for-1 split: every quote before day 200 is worth twice as much.
      {"unrecorded split",
       [](core::ChartSeries& s) {
         for (int i = 0; i < 200; ++i)
           for (auto* c : {&s.open, &s.high, &s.low, &s.close}) (*c)[i] *= 2;
       },
       {{200, SuspectReason::kJumpOutlier}}},
      {"N/A fields",
       [](core::ChartSeries& s) {
         s.close[90] = NAN;
         s.high[91] = s.low[91] = NAN;
       },
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core::ChartSeries s = walk(7, 0.02);
    c.spoil(s);
    EXPECT_EQ(found(s), c.expected);
  }
}

TEST(ChartSuspects, CleanAndFlatSeriesFlagNothing) {
  for (std::uint64_t seed = 1; seed <= 12; ++seed)
    for (double volatility : {0.005, 0.015, 0.03}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " volatility " + std::to_string(volatility));
      EXPECT_EQ(found(walk(seed, volatility)), Found{});
      // Eighths, and a penny stock that moves by whole ticks.
      EXPECT_EQ(found(walk(seed, volatility, 8, 0.125)), Found{});
      EXPECT_EQ(found(walk(seed, volatility, 0.05, 0.01)), Found{});
    }
  // A price that stands still but for a tick now and then.
  core::ChartSeries flat = walk(1, 0.02);
  for (int i = 0; i < flat.size(); ++i) {
    const float price = i % 37 == 0 ? 10.01f : 10.0f;
    flat.open[i] = flat.high[i] = flat.low[i] = flat.close[i] = price;
  }
  EXPECT_EQ(found(flat), Found{});
}

TEST(ChartSuspects, TheDemoSplitIsFlaggedOnItsDayAndNothingElseInTheDemoStock) {
  testing_support::TempDir dir;
  std::string message;
  ASSERT_TRUE(core::make_demo_tree(dir.dir(), message)) << message;
  core::ChartSeries s;
  ASSERT_TRUE(core::load_chart_series(dir.dir() + "/Stocks", "HRBR", s, message)) << message;
  const std::vector<core::Suspect> suspects = core::find_suspects(s);
  ASSERT_EQ(suspects.size(), 1u);
  EXPECT_EQ(core::display_date_text(s.date[suspects[0].index]), "06/14/99");
  EXPECT_EQ(suspects[0].reason, SuspectReason::kJumpOutlier);
}

TEST(ChartSuspects, StepsToTheNextAndPreviousSuspect) {
  const std::vector<core::Suspect> suspects = {{3, SuspectReason::kZeroPrice},
                                               {9, SuspectReason::kZeroPrice},
                                               {20, SuspectReason::kZeroPrice}};
  struct Case {
    int from, next, previous;
  };
  for (const Case& c : {Case{-1, 3, -1}, Case{0, 3, -1}, Case{3, 9, -1}, Case{4, 9, 3},
                        Case{9, 20, 3}, Case{20, -1, 9}, Case{25, -1, 20}}) {
    EXPECT_EQ(core::next_suspect(suspects, c.from), c.next) << c.from;
    EXPECT_EQ(core::previous_suspect(suspects, c.from), c.previous) << c.from;
  }
  EXPECT_EQ(core::next_suspect({}, 0), -1);
  EXPECT_EQ(core::previous_suspect({}, 0), -1);
}

}  // namespace
