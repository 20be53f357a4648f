#include "gui/chart/chart_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>

#include "core/chart_bad_days.h"
#include "core/chart_window.h"
#include "gui/chart/chart_painter.h"
#include "qdb/file_suffixes.h"
#include "qdb/portfolio_files.h"

QImage renderChartImage(const core::ChartSeries& series, QSize size, qdb::DateSerial from,
                        qdb::DateSerial to) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  const QRect rect(QPoint(0, 0), image.size());
  const std::vector<core::Suspect> suspects = core::find_suspects(series);
  core::ChartWindow window;
  window.reset(series.size(), chartPlotRect(rect).width());
  if (from != 0 || to != 0) {
    int first = 0;
    int last = -1;
    if (core::chart_span_of_dates(series, from, to, first, last))
      window.show_span(first, last);
    else
      window.reset(0, chartPlotRect(rect).width());
  }
  QPainter painter(&image);
  const core::ChartSeries empty;
  paintChart(painter, rect, {window.count() == 0 ? &empty : &series, &window, &suspects, -1});
  return image;
}

bool writeChartPng(const QImage& image, const std::string& path, std::string& error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) {
    error = "The picture could not be encoded as PNG";
    return false;
  }
  const qdb::Result<void> written = qdb::replace_file(
      path, path + std::string(qdb::suffix::kNewRepair), [&](qdb::WriteFile& out) {
        return out.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
      });
  if (!written) error = written.error().with_cause("The chart could not be written to " + path);
  return written.ok();
}
