// Quotes that look wrong: the days a chart marks and steps through.
#pragma once

#include <string>
#include <vector>

#include "core/chart_series.h"

namespace core {

enum class SuspectReason {
  kHighBelowLow,       // high < low
  kCloseOutsideRange,  // close above the high or below the low
  kZeroPrice,          // a present price is 0
  kRangeOutlier,       // high - low far beyond the neighbours' ranges
  kJumpOutlier,        // the move from the previous close far beyond the neighbours' moves
};

// One suspect day: its index into the ChartSeries and the first reason found.
struct Suspect {
  int index;
  SuspectReason reason;
};

// How many times the neighbours' median a move or a range must exceed to count as an outlier.
inline constexpr double kSuspectFactor = 10.0;
// Days each side whose moves and ranges give the median (20 in all; more on one side at an end).
inline constexpr int kSuspectNeighbours = 10;

// Every suspect day of the series, one per index, ascending. A move or range counts as an
// outlier when it exceeds kSuspectFactor times the median of the same measure over the 20
// surrounding days (with a floor so that tick moves of a flat series pass).
std::vector<Suspect> find_suspects(const ChartSeries& series);

// Short words for a tooltip or a CLI line ("high below low", ...).
std::string suspect_text(SuspectReason reason);

// The first suspect after index / the last one before it: its position's index, -1 when none.
int next_suspect(const std::vector<Suspect>& suspects, int index);
int previous_suspect(const std::vector<Suspect>& suspects, int index);

}  // namespace core
