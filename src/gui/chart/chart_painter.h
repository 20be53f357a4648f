// The drawing of a price chart, shared by the chart pane and the PNG writers: prices (a close
// line, or OHLC bars when each day has a few pixels), the volume histogram and the open
// interest line below them, both axes, the suspect days and the current day. Needs Qt's GUI
// module only, so a program without widgets can draw the same picture.
#pragma once

#include <vector>

#include <QRect>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/chart_window.h"

class QPainter;

struct ChartPaintState {
  const core::ChartSeries* series = nullptr;
  const core::ChartWindow* window = nullptr;             // its width is chartPlotRect(rect).width()
  const std::vector<core::Suspect>* suspects = nullptr;  // ascending indices; may be null
  int currentIndex = -1;  // the series index marked as current; -1 none
};

// Draws the chart into rect. Each redraw reads only the visible span: the value ranges come
// from the series' range index and the close line is reduced to one envelope per pixel column.
void paintChart(QPainter& painter, const QRect& rect, const ChartPaintState& state);

// Where the plot (prices over volume) lies inside rect; the rest holds the axes.
QRect chartPlotRect(const QRect& rect);
// The price part of the plot, and the volume part below it (empty when the series has neither
// volume nor open interest).
QRect chartPricePane(const QRect& plot, const core::ChartSeries& series);
QRect chartVolumePane(const QRect& plot, const core::ChartSeries& series);
