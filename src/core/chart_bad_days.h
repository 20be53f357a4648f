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

// Every suspect day of the series, one per index, ascending, with the first reason that holds
// in the order of SuspectReason. A move (from the previous close) or a range (high - low)
// counts as an outlier when it exceeds kSuspectFactor times the largest of: the median of the
// same measure over the 20 surrounding days, the smallest step among them, the series' own
// smallest close-to-close step, and 1.5% of the price; so a flat or penny series does not flag
// its tick moves. The close that returns from a flagged day to where it was before is not
// flagged again; a move to or from a zero close is not measured.
std::vector<Suspect> find_suspects(const ChartSeries& series);

// Short words for a tooltip or a CLI line ("high below low", ...).
std::string suspect_text(SuspectReason reason);

// The first suspect after index / the last one before it: its position's index, -1 when none.
int next_suspect(const std::vector<Suspect>& suspects, int index);
int previous_suspect(const std::vector<Suspect>& suspects, int index);

}  // namespace core
