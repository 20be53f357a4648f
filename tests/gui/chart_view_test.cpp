// The chart pane with the quotes grid: its days reach the grid's rows, a double-click edits the
// day through the Edit command, the chart follows the reload, Next Suspect steps to the day an
// edit made wrong, the pane is remembered, Save Chart As writes the picture shown, and the
// picture marks suspects and leaves N/A out.
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QSplitter>
#include <QWheelEvent>

#include "browser_fixture.h"
#include "core/quote_texts.h"
#include "gui/chart/chart_image.h"
#include "gui/chart/chart_painter.h"
#include "gui/chart/chart_view.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/quotes_pane.h"

namespace gui_test {
namespace {

constexpr int kQuotes = 60;

class ChartViewTest : public BrowserFixture {
 protected:
  // Portfolio "p" holding AAA's kQuotes rising daily quotes, shown with the chart on.
  void startWithChart() {
    make_portfolio(root() / "p", {{1, "AAA", "ALPHA", daily_bars(kQuotes), 28, false}});
    settings().SetInt("Chart", "Show", 1);
    startUp();
    ASSERT_EQ(chart()->series().size(), kQuotes);
  }
  CChartView* chart() const { return view()->chartView(); }
  QString gridDate(int row) const { return view()->quotesModel()->text(row, 0); }
  QString chartDate(int index) const {
    return QString::fromStdString(
        core::display_date_text(chart()->series().date[static_cast<std::size_t>(index)]));
  }
};

TEST_F(ChartViewTest, AClickOnADaySelectsItsGridRow) {
  startWithChart();
  for (const int index : {0, 1, 17, kQuotes - 2, kQuotes - 1}) {
    QTest::mouseClick(chart(), Qt::LeftButton, {}, chart()->pointOfIndex(index));
    const int row = view()->currentQuoteRow();
    EXPECT_EQ(gridDate(row), chartDate(index)) << index;
    EXPECT_EQ(view()->quotesGrid()->currentIndex().row(), row) << index;
    EXPECT_EQ(chart()->currentIndex(), index);
  }
  // A row chosen in the grid is the day the chart marks.
  view()->quotesGrid()->selectRow(5);
  EXPECT_EQ(chartDate(chart()->currentIndex()), gridDate(5));
}

TEST_F(ChartViewTest, ADoubleClickEditsThatDayAndTheChartRedrawsFromTheReload) {
  startWithChart();
  EXPECT_TRUE(chart()->suspects().empty());
  QAction* nextSuspect = frame->commandAction("nextSuspect");
  frame->updateCommandStates();
  EXPECT_FALSE(nextSuspect->isEnabled());

  const int index = 30;
  QString edited;
  prompter.expectDialog([&](QDialog& d) {
    auto& editor = static_cast<CEditQuoteDlg&>(d);
    edited = editor.dateText();
    for (const int field : {1, 3}) {  // high and close ten times the neighbours'
      editor.field(field)->selectAll();
      editor.field(field)->insert(QStringLiteral("180"));
    }
    return press_ok(d);
  });
  QTest::mouseDClick(chart(), Qt::LeftButton, {}, chart()->pointOfIndex(index));
  EXPECT_EQ(prompter.pending(), 0);
  EXPECT_EQ(edited, chartDate(index));
  EXPECT_EQ(prompter.dialogTitles(), QStringList{"Edit Selected Quote"});

  // The chart holds the reloaded series: the new close, and the day it made suspect.
  EXPECT_EQ(chart()->series().close[index], 180.0f);
  ASSERT_FALSE(chart()->suspects().empty());
  EXPECT_EQ(chart()->suspects().front().index, index);
  frame->updateCommandStates();
  ASSERT_TRUE(nextSuspect->isEnabled());
  nextSuspect->trigger();
  EXPECT_EQ(gridDate(view()->currentQuoteRow()), chartDate(index));
}

TEST_F(ChartViewTest, ViewChartIsRememberedAndOffLeavesTheWindowAsWithout) {
  make_portfolio(root() / "p", {{1, "AAA", "ALPHA", daily_bars(kQuotes), 28, false}});
  startUp();
  EXPECT_FALSE(frame->chartAction()->isChecked());
  EXPECT_FALSE(chart()->isVisible());
  const QRect quotesAlone = view()->quotesGrid()->geometry();
  const QPoint quotesAt = view()->quotesGrid()->mapTo(frame.get(), QPoint(0, 0));

  frame->chartAction()->trigger();
  EXPECT_TRUE(chart()->isVisible());
  EXPECT_EQ(chart()->series().size(), kQuotes);
  EXPECT_LT(view()->quotesGrid()->height(), quotesAlone.height());
  // The user moves the splitter 40 pixels down: the chart's new height is kept too.
  QSplitter* splitter = view()->quotesSplitter();
  const QList<int> sizes = splitter->sizes();
  splitter->setSizes({sizes[0] + 40, sizes[1] - 40});
  emit splitter->splitterMoved(sizes[0] + 40, 1);
  const int chartHeight = chart()->height();
  EXPECT_EQ(chartHeight, sizes[0] + 40);

  for (const bool shown : {true, false}) {
    frame.reset();
    createFrame();
    startUp();
    EXPECT_EQ(frame->chartAction()->isChecked(), shown);
    EXPECT_EQ(chart()->isVisible(), shown);
    EXPECT_EQ(frame->commandAction("nextSuspect")->isVisible(), shown);
    EXPECT_EQ(chart()->series().size(), shown ? kQuotes : 0);
    if (!shown) break;
    EXPECT_NEAR(chart()->height(), chartHeight, 2);
    frame->chartAction()->trigger();  // off for the next start
  }
  // Off, the quotes take the place they had before the chart was ever shown.
  EXPECT_EQ(view()->quotesGrid()->geometry(), quotesAlone);
  EXPECT_EQ(view()->quotesGrid()->mapTo(frame.get(), QPoint(0, 0)), quotesAt);
}

TEST_F(ChartViewTest, WheelZoomsAroundTheCursorAndAxesHomeAndEndMoveTheSpan) {
  startWithChart();
  const core::ChartWindow& window = chart()->chartWindow();
  const QPoint at = chart()->pointOfIndex(20);
  QWheelEvent wheel(at, chart()->mapToGlobal(at), {}, QPoint(0, 120 * 3), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(chart(), &wheel);
  EXPECT_LT(window.last() - window.first(), kQuotes - 1.0);
  // The day under the cursor stays under it.
  QTest::mouseClick(chart(), Qt::LeftButton, {}, at);
  EXPECT_EQ(chart()->currentIndex(), 20);

  QTest::keyClick(chart(), Qt::Key_End);
  EXPECT_EQ(window.last_visible(), kQuotes - 1);
  QTest::keyClick(chart(), Qt::Key_Home);
  EXPECT_EQ(window.first_visible(), 0);
  EXPECT_LT(window.last_visible(), kQuotes - 1);

  // A drag to the left brings later days in.
  const double before = window.first();
  QTest::mousePress(chart(), Qt::LeftButton, {}, at);
  QTest::mouseMove(chart(), at - QPoint(60, 0));
  QTest::mouseRelease(chart(), Qt::LeftButton, {}, at - QPoint(60, 0));
  EXPECT_GT(window.first(), before);

  // A double-click on the price axis (right of the plot) shows the whole series again.
  QTest::mouseDClick(chart(), Qt::LeftButton, {}, QPoint(chart()->width() - 10, at.y()));
  EXPECT_EQ(window.first_visible(), 0);
  EXPECT_EQ(window.last_visible(), kQuotes - 1);
  EXPECT_EQ(prompter.pending(), 0);
}

TEST_F(ChartViewTest, SaveChartAsWritesThePictureShownAndReportsAFailure) {
  startWithChart();
  const std::filesystem::path saved = root() / "out" / "AAA.png";
  std::filesystem::create_directories(saved.parent_path());
  prompter.expectDialog([&](QDialog& d) {
    auto& files = static_cast<QFileDialog&>(d);
    EXPECT_EQ(files.defaultSuffix(), "png");
    EXPECT_TRUE(files.selectedFiles().value(0).endsWith("/AAA.png"));
    files.selectFile(QString::fromStdString(saved.string()));
    return int(QDialog::Accepted);
  });
  frame->commandAction("saveChart")->trigger();
  const QImage image(QString::fromStdString(saved.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), chart()->size());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saved.parent_path()), {}), 1);

  // A directory in the way: the failure is told, and nothing is left beside it.
  const std::filesystem::path taken = root() / "out" / "taken.png";
  std::filesystem::create_directories(taken / "inside");
  prompter.expectDialog([&](QDialog& d) {
    static_cast<QFileDialog&>(d).selectFile(QString::fromStdString(taken.string()));
    return int(QDialog::Accepted);
  });
  prompter.expectMessage();
  frame->commandAction("saveChart")->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Stop);
  EXPECT_TRUE(prompter.messages[0].text.startsWith("The chart could not be written to"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(saved.parent_path()), {}), 2);
}

// The picture marks the suspect days, and only them, in red: a clean rising series with one
// spike and one N/A close, which is left out rather than drawn as a value.
TEST(ChartImage, MarksTheSuspectDayAndLeavesNaOut) {
  core::ChartSeries series;
  series.has_open = series.has_high_low = true;
  for (int i = 0; i < 200; ++i) {
    const float price = 50.0f + 0.1f * static_cast<float>(i);
    const float close = i == 120 ? price * 4 : price;
    series.date.push_back(qdb::date_serial(2001, 1, 1) + i);
    series.open.push_back(price);
    series.high.push_back(close + 0.2f);
    series.low.push_back(price - 0.2f);
    series.close.push_back(i == 60 ? NAN : close);
    series.volume.push_back(NAN);
    series.oi.push_back(NAN);
  }
  core::build_chart_ranges(series);
  const QSize size(500, 300);
  const QImage image = renderChartImage(series, size);
  const QRect plot = chartPlotRect(QRect(QPoint(0, 0), size));
  core::ChartWindow window;
  window.reset(series.size(), plot.width());
  const auto reddish = [&](int index) {
    const int x = plot.left() + static_cast<int>(window.x_of(index));
    int count = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y)
      for (int dx = -1; dx <= 1; ++dx) {
        const QColor c = image.pixelColor(x + dx, y);
        if (c.red() > 150 && c.green() < 120 && c.blue() < 120) ++count;
      }
    return count;
  };
  EXPECT_GT(reddish(120), 10);
  for (const int clean : {20, 60, 100, 140, 180}) EXPECT_EQ(reddish(clean), 0) << clean;
  // The same series with a close in place of the N/A draws the same picture but near that
  // day: the N/A moves no scale and draws nothing of its own.
  core::ChartSeries filled = series;
  filled.close[60] = (series.close[59] + series.close[61]) / 2;
  core::build_chart_ranges(filled);
  const QImage other = renderChartImage(filled, size);
  const int x60 = plot.left() + static_cast<int>(window.x_of(60));
  int elsewhere = 0;
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      if (std::abs(x - x60) > 4 && image.pixel(x, y) != other.pixel(x, y)) ++elsewhere;
  EXPECT_EQ(elsewhere, 0);
  EXPECT_NE(image, other);
}

// A series whose volume and open interest are all zero draws each as one line along the
// bottom of the lower pane, which is otherwise empty.
TEST(ChartImage, AllZeroVolumeAndOpenInterestLieAlongTheLowerPanesBottom) {
  core::ChartSeries series;
  series.has_open = series.has_high_low = series.has_volume = series.has_oi = true;
  for (int i = 0; i < 200; ++i) {
    const float price = 50.0f + 0.1f * static_cast<float>(i % 7);
    series.date.push_back(qdb::date_serial(2001, 1, 1) + i);
    series.open.push_back(price);
    series.high.push_back(price + 0.2f);
    series.low.push_back(price - 0.2f);
    series.close.push_back(price);
    series.volume.push_back(0);
    series.oi.push_back(0);
  }
  core::build_chart_ranges(series);
  const QSize size(500, 300);
  const QImage image = renderChartImage(series, size);
  const QRect pane = chartVolumePane(chartPlotRect(QRect(QPoint(0, 0), size)), series);
  ASSERT_FALSE(pane.isEmpty());
  const QRgb paneColor = image.pixel(pane.center().x(), pane.center().y());
  // Rows with something drawn, below the captions and inside the frame.
  QList<int> drawn;
  for (int y = pane.top() + 20; y < pane.bottom(); ++y) {
    int count = 0;
    for (int x = pane.left() + 1; x < pane.right(); ++x)
      if (image.pixel(x, y) != paneColor) ++count;
    if (count > pane.width() / 2) drawn << y;
  }
  EXPECT_EQ(drawn, QList<int>({pane.bottom() - 1}));
}

}  // namespace
}  // namespace gui_test
