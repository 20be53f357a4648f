#include "core/verify_series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_set>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/split_search.h"
#include "qdb/dat.h"

namespace core {
namespace {

// A price as the values of a finding show it: up to six significant digits.
std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

std::string iso(qdb::DateSerial date) {
  return qdb::format_date(date, qdb::DateFormat::kYyyyMmDd, '-');
}

// The sort key of a record: its date, then its time to the second.
std::int64_t key_of(const qdb::QuoteBar& bar, bool with_time) {
  return static_cast<std::int64_t>(bar.date) * 86400 + (with_time ? qdb::bar_seconds(bar) : 0);
}

// Weekdays from serial 1 (a Monday) up to, not including, serial.
std::int64_t weekdays_before(qdb::DateSerial serial) {
  const std::int64_t days = std::max<std::int64_t>(serial - 1, 0);
  return days / 7 * 5 + std::min<std::int64_t>(days % 7, 5);
}

bool mapped(const SeriesRecords& records, qdb::Field field) {
  return records.layout.column[field] > 0 && 4 * records.layout.column[field] <= records.length;
}

}  // namespace

int weekdays_between(qdb::DateSerial earlier, qdb::DateSerial later) {
  if (later <= earlier + 1) return 0;
  return static_cast<int>(weekdays_before(later) - weekdays_before(earlier + 1));
}

MendedOrder mended_order(const SeriesRecords& records) {
  MendedOrder mended;
  const bool with_time = records.has_time();
  mended.bars.reserve(records.count);
  for (std::size_t i = 0; i < records.count; ++i)
    mended.bars.push_back(qdb::decode_record(records.record(i), records.length, records.field_count,
                                             records.layout, records.form));
  std::vector<std::uint32_t> order(records.count);
  for (std::size_t i = 0; i < records.count; ++i) order[i] = static_cast<std::uint32_t>(i);
  for (std::size_t i = 1; i < records.count && mended.in_order; ++i)
    mended.in_order = key_of(mended.bars[i - 1], with_time) <= key_of(mended.bars[i], with_time);
  if (!mended.in_order)
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return key_of(mended.bars[a], with_time) < key_of(mended.bars[b], with_time);
    });
  // Records of one date and time are neighbours now; a repeat is byte for byte one of them.
  const auto length = static_cast<std::size_t>(records.length);
  std::unordered_set<std::string_view> seen;
  mended.order.reserve(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::uint32_t at = order[i];
    const bool same_key =
        i > 0 && key_of(mended.bars[order[i - 1]], with_time) == key_of(mended.bars[at], with_time);
    if (!same_key) {
      seen.clear();
      mended.order.push_back(at);
      continue;
    }
    // The first of the group joins the set only once a second one shows up.
    if (seen.empty())
      seen.emplace(reinterpret_cast<const char*>(records.record(order[i - 1])), length);
    if (!seen.emplace(reinterpret_cast<const char*>(records.record(at)), length).second) {
      ++mended.repeats;
      continue;
    }
    mended.order.push_back(at);
  }
  return mended;
}

void verify_series(const SeriesRecords& records, const MendedOrder& mended,
                   const VerifyOptions& options, qdb::DateSerial today,
                   const std::function<void(Finding&&)>& add) {
  const bool with_time = records.has_time();
  const std::vector<qdb::QuoteBar>& bars = mended.bars;
  auto finding = [&](const qdb::QuoteBar& bar, FindingKind kind, std::string values) {
    Finding f;
    f.date = bar.date;
    f.seconds = with_time ? qdb::bar_seconds(bar) : -1;
    f.kind = kind;
    f.values = std::move(values);
    add(std::move(f));
  };

  // Order, in file order: each record dated before the one it follows.
  if (!mended.in_order) {
    for (std::size_t i = 1; i < bars.size(); ++i)
      if (key_of(bars[i], with_time) < key_of(bars[i - 1], with_time))
        finding(bars[i], FindingKind::kOutOfOrder,
                "record " + std::to_string(i + 1) + " follows record " + std::to_string(i) +
                    " dated " + iso(bars[i - 1].date));
  }
  // Repeats: the records of one date (and time) after the first.
  {
    std::vector<std::uint32_t> sorted(bars.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i] = static_cast<std::uint32_t>(i);
    if (!mended.in_order)
      std::stable_sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return key_of(bars[a], with_time) < key_of(bars[b], with_time);
      });
    const auto length = static_cast<std::size_t>(records.length);
    for (std::size_t i = 1, first = 0; i < sorted.size(); ++i) {
      if (key_of(bars[sorted[i]], with_time) != key_of(bars[sorted[first]], with_time)) {
        first = i;
        continue;
      }
      // Byte for byte one of the group's earlier records, or only the same date and time.
      std::size_t twin = sorted.size();
      for (std::size_t j = first; j < i && twin == sorted.size(); ++j)
        if (std::memcmp(records.record(sorted[j]), records.record(sorted[i]), length) == 0)
          twin = j;
      const std::string where = "record " + std::to_string(sorted[i] + 1);
      if (twin != sorted.size())
        finding(bars[sorted[i]], FindingKind::kRepeatedRecord,
                where + " repeats record " + std::to_string(sorted[twin] + 1));
      else
        finding(bars[sorted[i]], FindingKind::kRepeatedDate,
                where + " has the date" + std::string(with_time ? " and time" : "") +
                    " of record " + std::to_string(sorted[first] + 1));
      // A hostile file of thousands of records of one date would make this quadratic: past a
      // few, each is compared with the group's first alone.
      if (i - first > 16) first = i;
    }
  }

  // The mended series: the one the calendar and the prices are judged on.
  std::vector<qdb::QuoteBar> series;
  series.reserve(mended.order.size());
  for (const std::uint32_t at : mended.order) series.push_back(bars[at]);

  // Calendar.
  for (std::size_t i = 0; i < series.size(); ++i) {
    const qdb::QuoteBar& bar = series[i];
    if (bar.date == 0) continue;
    if (records.daily && qdb::is_weekend(bar.date))
      finding(bar, FindingKind::kWeekend, qdb::weekday(bar.date) == 0 ? "Sunday" : "Saturday");
    if (today != 0 && bar.date > today)
      finding(bar, FindingKind::kFutureDate, "after today, " + iso(today));
    if (records.daily && i > 0 && series[i - 1].date != 0) {
      const int missing = weekdays_between(series[i - 1].date, bar.date);
      if (missing > options.gap_weekdays)
        finding(
            bar, FindingKind::kGap,
            std::to_string(missing) + " weekdays without a quote since " + iso(series[i - 1].date));
    }
  }

  // Prices: the chart's rule first, over the same columns the chart draws.
  ChartSeries chart;
  fill_chart_series(chart, series, with_time);
  const std::vector<Suspect> suspects = find_suspects(chart);
  std::vector<bool> outside(series.size(), false);
  for (const Suspect& suspect : suspects) {
    const qdb::QuoteBar& bar = series[static_cast<std::size_t>(suspect.index)];
    switch (suspect.reason) {
      case SuspectReason::kHighBelowLow:
        finding(bar, FindingKind::kHighBelowLow,
                "high " + number(bar.high) + " below low " + number(bar.low));
        break;
      case SuspectReason::kCloseOutsideRange:
        outside[static_cast<std::size_t>(suspect.index)] = true;
        finding(
            bar, FindingKind::kOutsideRange,
            "close " + number(bar.close) + " outside " + number(bar.low) + ".." + number(bar.high));
        break;
      case SuspectReason::kZeroPrice:
        break;  // reported with the negative prices below
      case SuspectReason::kRangeOutlier:
      case SuspectReason::kJumpOutlier:
        finding(bar, FindingKind::kSuspect,
                suspect_text(suspect.reason) + ", close " + number(bar.close));
        break;
    }
  }
  const bool has_open = mapped(records, qdb::kOpen), has_high = mapped(records, qdb::kHigh),
             has_low = mapped(records, qdb::kLow), has_close = mapped(records, qdb::kClose),
             has_volume = mapped(records, qdb::kVol);
  for (std::size_t i = 0; i < series.size(); ++i) {
    const qdb::QuoteBar& bar = series[i];
    std::string bad;
    auto check = [&bad](bool present, const char* name, float value) {
      if (present && !(value > 0))
        bad += (bad.empty() ? "" : ", ") + std::string(name) + " " + number(value);
    };
    check(has_open, "open", bar.open);
    check(has_high, "high", bar.high);
    check(has_low, "low", bar.low);
    check(has_close, "close", bar.close);
    if (!bad.empty()) finding(bar, FindingKind::kBadPrice, bad);
    if (has_open && has_high && has_low && bar.low > 0 && bar.high >= bar.low && !outside[i] &&
        (bar.open > bar.high || (bar.open > 0 && bar.open < bar.low)))
      finding(bar, FindingKind::kOutsideRange,
              "open " + number(bar.open) + " outside " + number(bar.low) + ".." + number(bar.high));
    if (has_volume && bar.volume == 0) {
      const bool ranged = has_high && has_low && bar.high > bar.low;
      const bool moved = has_close && i > 0 && series[i - 1].close > 0 && bar.close > 0 &&
                         bar.close != series[i - 1].close;
      if (ranged || moved)
        finding(bar, FindingKind::kZeroVolume, "volume 0, close " + number(bar.close));
    }
    if (i > 0 && has_close && has_high && has_low) {
      if (const std::optional<SplitRatio> ratio = TestSplitPair(series[i - 1], bar))
        finding(bar, FindingKind::kSplitJump,
                "close " + number(series[i - 1].close) + " to " + number(bar.close) + ", " +
                    std::to_string(ratio->new_shares) + " for " +
                    std::to_string(ratio->old_shares));
    }
  }
}

}  // namespace core
