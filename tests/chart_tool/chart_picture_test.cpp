// The picture dorvane-cli chart writes through dorvane-chart, decoded: its axes carry text even
// where no display is to be had (the program draws on Qt's offscreen platform whatever the
// environment asks for).
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QtGlobal>

#include <string>

#include "cli/cli_run.h"
#include "gui/chart/chart_painter.h"
#include "support/temp_dir.h"

namespace {

// Pixels of rect darker than mid grey: text and lines, not the background.
int dark_pixels(const QImage& image, const QRect& rect) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (qGray(image.pixel(x, y)) < 128) ++count;
  return count;
}

TEST(ChartPicture, AxisLabelsAreDrawnWithoutADisplay) {
  testing_support::TempDir dir;
  ASSERT_EQ(testing_support::run_cli({"make-demo", dir.dir() + "demo"}).exit_code, 0);
  // A platform that needs a display, and no display: the program must not use it.
  qunsetenv("DISPLAY");
  qunsetenv("WAYLAND_DISPLAY");
  qputenv("QT_QPA_PLATFORM", "xcb");
  const std::string png = dir.dir() + "HRBR.png";
  const auto result = testing_support::run_cli(
      {"chart", dir.dir() + "demo/Stocks", "HRBR", png, "--size", "800x500"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(png), "PNG"));
  ASSERT_EQ(image.size(), QSize(800, 500));
  const QRect all(QPoint(0, 0), image.size());
  const QRect plot = chartPlotRect(all);
  // The price labels right of the plot and the date labels below it.
  const QRect price_axis(QPoint(plot.right() + 2, plot.top()), QPoint(all.right(), plot.bottom()));
  const QRect date_axis(QPoint(plot.left(), plot.bottom() + 2), QPoint(plot.right(), all.bottom()));
  ASSERT_TRUE(price_axis.isValid() && date_axis.isValid());
  EXPECT_GT(dark_pixels(image, price_axis), 150);
  EXPECT_GT(dark_pixels(image, date_axis), 150);
}

}  // namespace
