// The chart as a picture: drawn into an image without a window (the app's Save Chart As and the
// command line's chart both use it), and written to a PNG file safely.
#pragma once

#include <string>

#include <QImage>
#include <QSize>

#include "core/chart_series.h"
#include "qdb/dates.h"

// Renders the series' quotes dated from..to (0 = open end) into an image of size, suspect days
// marked. A span holding no quote draws an empty chart.
QImage renderChartImage(const core::ChartSeries& series, QSize size, qdb::DateSerial from = 0,
                        qdb::DateSerial to = 0);

// Writes image as a PNG file at path: complete beside it, synced, then renamed over it, so a
// failure leaves an existing file as it was. False with the cause in error.
bool writeChartPng(const QImage& image, const std::string& path, std::string& error);
