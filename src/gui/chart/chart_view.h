// The chart pane beside the quotes grid: draws the selected symbol's series (chart_painter)
// and maps the mouse to its days. A click selects the day's grid row, a double-click on a day
// edits it, the wheel zooms around the cursor, a drag pans, a double-click on an axis shows
// the whole series, Home and End go to the oldest and newest days; the tooltip gives the day's
// values and why it looks wrong.
#pragma once

#include <vector>

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "core/chart_bad_days.h"
#include "core/chart_series.h"
#include "core/chart_window.h"

class CChartView : public QWidget {
  Q_OBJECT
 public:
  explicit CChartView(QWidget* parent = nullptr);

  // Holds series and finds its suspect days. keepSpan (a reload of the same symbol after a
  // command) keeps the days shown; otherwise the whole series shows.
  void setSeries(core::ChartSeries series, bool keepSpan);
  // Holds no series (the span shown is kept for a reload that follows).
  void clear();

  const core::ChartSeries& series() const { return m_series; }
  const std::vector<core::Suspect>& suspects() const { return m_suspects; }
  const core::ChartWindow& chartWindow() const { return m_window; }

  // Marks grid row as the current day and scrolls it into view; -1 marks none.
  void setCurrentRow(int row);
  // The series index marked current; -1 when none.
  int currentIndex() const { return m_current; }
  // The grid row of the first suspect after the current day, wrapping to the oldest; -1 when
  // the series has none.
  int nextSuspectRow() const;

  // The widget point at the centre of day index (a click there reaches that day).
  QPoint pointOfIndex(int index) const;
  // The chart as shown, at the widget's size.
  QImage image() const;
  // The day's values and its suspect reason, as the tooltip shows them.
  QString dayText(int index) const;

 signals:
  // A click on a day: the grid row to select.
  void rowClicked(int row);
  // A double-click on a day: the grid row to edit.
  void rowActivated(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QRect plotRect() const;
  // The day under a widget point inside the plot; -1 elsewhere or when there is no series.
  int indexAt(const QPoint& point) const;

  core::ChartSeries m_series;
  std::vector<core::Suspect> m_suspects;
  core::ChartWindow m_window;
  int m_current = -1;
  QPoint m_pressPoint;
  double m_dragX = 0;
  bool m_pressed = false;
  bool m_dragging = false;
};
