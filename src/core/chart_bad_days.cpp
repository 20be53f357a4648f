#include "core/chart_bad_days.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace core {

namespace {

// The floor under a neighbours' median, as a share of the price: a series that barely moves
// (median 0) still needs a move of kSuspectFactor times this share to look wrong.
constexpr double kFloorShare = 0.015;

bool present(float v) { return !std::isnan(v); }

float at(const std::vector<float>& column, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < column.size() ? column[static_cast<std::size_t>(i)]
                                                               : std::nanf("");
}

// One measure per quote (NaN where it has none) and the robust test of a quote against the
// same measure on its neighbours.
class OutlierTest {
 public:
  explicit OutlierTest(std::vector<float> measure) : m_measure(std::move(measure)) {}

  float value(int i) const { return m_measure[static_cast<std::size_t>(i)]; }

  // Whether the measure at i exceeds kSuspectFactor times the larger of the median of its
  // (up to) 2 * kSuspectNeighbours nearest neighbours' measures, the smallest non-zero step
  // among them (the tick of a thinly traded series) and floor.
  bool exceeds(int i, double floor) const {
    const double v = value(i);
    if (!(v > kSuspectFactor * floor)) return false;  // cheap early answer for most quotes
    const int n = static_cast<int>(m_measure.size());
    const int want = 2 * kSuspectNeighbours;
    // The window of neighbours: kSuspectNeighbours each side, shifted inwards at an end.
    int lo = i - kSuspectNeighbours;
    int hi = i + kSuspectNeighbours;
    if (lo < 0) {
      hi = std::min(n - 1, hi - lo);
      lo = 0;
    }
    if (hi > n - 1) {
      lo = std::max(0, lo - (hi - (n - 1)));
      hi = n - 1;
    }
    std::array<float, 2 * kSuspectNeighbours> buffer;
    int count = 0;
    float smallest_step = 0;
    for (int j = lo; j <= hi && count < want; ++j) {
      const float neighbour = m_measure[static_cast<std::size_t>(j)];
      if (j == i || !present(neighbour)) continue;
      buffer[static_cast<std::size_t>(count++)] = neighbour;
      if (neighbour > 0 && (smallest_step == 0 || neighbour < smallest_step))
        smallest_step = neighbour;
    }
    if (count < 4) return false;  // too few neighbours to say what is normal
    const auto middle = buffer.begin() + count / 2;
    std::nth_element(buffer.begin(), middle, buffer.begin() + count);
    const double baseline =
        std::max({static_cast<double>(*middle), static_cast<double>(smallest_step), floor});
    return v > kSuspectFactor * baseline;
  }

 private:
  std::vector<float> m_measure;
};

}  // namespace

std::vector<Suspect> find_suspects(const ChartSeries& series) {
  const int n = series.size();
  std::vector<Suspect> suspects;
  if (n == 0) return suspects;

  // The day's range and the move from the previous close, where both ends are present.
  std::vector<float> range(static_cast<std::size_t>(n), std::nanf(""));
  std::vector<float> move(static_cast<std::size_t>(n), std::nanf(""));
  for (int i = 0; i < n; ++i) {
    const float high = at(series.high, i), low = at(series.low, i);
    if (present(high) && present(low) && high >= low)
      range[static_cast<std::size_t>(i)] = high - low;
    const float close = at(series.close, i), previous = at(series.close, i - 1);
    if (close > 0 && previous > 0) move[static_cast<std::size_t>(i)] = std::fabs(close - previous);
  }
  // The series' price step: its smallest close-to-close move. A series stuck at a few ticks
  // (a penny stock) moves by whole ticks that are large shares of its price.
  float tick = 0;
  for (const float step : move)
    if (step > 0 && (tick == 0 || step < tick)) tick = step;
  const OutlierTest ranges(std::move(range));
  const OutlierTest moves(std::move(move));

  int flagged = -1;  // the last suspect day
  for (int i = 0; i < n; ++i) {
    const float open = at(series.open, i), high = at(series.high, i), low = at(series.low, i),
                close = at(series.close, i);
    const float previous = at(series.close, i - 1);
    // The floor scales with the price: the previous close, else this one.
    const double price =
        present(previous) && previous > 0 ? previous : (present(close) ? close : 0.0f);
    const double floor = std::max(kFloorShare * price, static_cast<double>(tick));
    auto flag = [&](SuspectReason reason) {
      suspects.push_back({i, reason});
      flagged = i;
    };
    if (present(high) && present(low) && high < low) {
      flag(SuspectReason::kHighBelowLow);
    } else if (present(close) && present(high) && present(low) && (close > high || close < low)) {
      flag(SuspectReason::kCloseOutsideRange);
    } else if (open == 0 || high == 0 || low == 0 || close == 0) {
      flag(SuspectReason::kZeroPrice);
    } else if (moves.exceeds(i, floor)) {
      // The way back from a one-day spike or bad close is not a second suspect: the close
      // returns to where it was before the flagged day.
      const float before = at(series.close, i - 2);
      const bool returns = flagged == i - 1 && present(before) &&
                           std::fabs(close - before) <= moves.value(i) / kSuspectFactor;
      if (!returns) flag(SuspectReason::kJumpOutlier);
    } else if (ranges.exceeds(i, floor)) {
      flag(SuspectReason::kRangeOutlier);
    }
  }
  return suspects;
}

std::string suspect_text(SuspectReason reason) {
  switch (reason) {
    case SuspectReason::kHighBelowLow:
      return "high below low";
    case SuspectReason::kCloseOutsideRange:
      return "close outside high-low";
    case SuspectReason::kZeroPrice:
      return "zero price";
    case SuspectReason::kRangeOutlier:
      return "range out of line";
    case SuspectReason::kJumpOutlier:
      return "jump from previous close";
  }
  return "suspect";
}

int next_suspect(const std::vector<Suspect>& suspects, int index) {
  const auto it = std::upper_bound(suspects.begin(), suspects.end(), index,
                                   [](int value, const Suspect& s) { return value < s.index; });
  return it == suspects.end() ? -1 : it->index;
}

int previous_suspect(const std::vector<Suspect>& suspects, int index) {
  const auto it = std::lower_bound(suspects.begin(), suspects.end(), index,
                                   [](const Suspect& s, int value) { return s.index < value; });
  return it == suspects.begin() ? -1 : std::prev(it)->index;
}

}  // namespace core
