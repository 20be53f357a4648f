#include "gui/chart/chart_view.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "core/quote_texts.h"
#include "gui/chart/chart_painter.h"

namespace {

// Zoom per notch of the wheel.
constexpr double kZoomStep = 1.25;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CChartView::CChartView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("chart"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  // Small enough that the chart, the grids and the bars fit a 640 by 480 screen.
  setMinimumSize(200, 80);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect CChartView::plotRect() const { return chartPlotRect(rect()); }

void CChartView::setSeries(core::ChartSeries series, bool keepSpan) {
  const bool whole = m_window.count() == 0 || (m_window.first_visible() <= 0 &&
                                               m_window.last_visible() >= m_window.count() - 1);
  const int first = m_window.first_visible();
  const int last = m_window.last_visible();
  m_series = std::move(series);
  m_suspects = core::find_suspects(m_series);
  m_window.reset(m_series.size(), plotRect().width());
  if (keepSpan && !whole) m_window.show_span(first, last);
  if (m_current >= m_series.size()) m_current = -1;
  update();
}

void CChartView::clear() {
  m_series = core::ChartSeries{};
  m_suspects.clear();
  m_current = -1;
  update();
}

void CChartView::setCurrentRow(int row) {
  const int size = m_series.size();
  m_current = row >= 0 && row < size ? core::chart_index_of_row(row, size) : -1;
  if (m_current >= 0) m_window.ensure_visible(m_current);
  update();
}

int CChartView::nextSuspectRow() const {
  if (m_suspects.empty()) return -1;
  int index = core::next_suspect(m_suspects, m_current);
  if (index < 0) index = m_suspects.front().index;
  return core::chart_row_of_index(index, m_series.size());
}

QPoint CChartView::pointOfIndex(int index) const {
  const QRect plot = plotRect();
  return {plot.left() + static_cast<int>(std::floor(m_window.x_of(index))), plot.center().y()};
}

QImage CChartView::image() const {
  QImage picture(size(), QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  paintChart(painter, rect(), {&m_series, &m_window, &m_suspects, m_current});
  return picture;
}

int CChartView::indexAt(const QPoint& point) const {
  const QRect plot = plotRect();
  if (m_series.size() == 0 || m_window.count() != m_series.size() || !plot.contains(point))
    return -1;
  return m_window.index_at(point.x() - plot.left() + 0.5);
}

QString CChartView::dayText(int index) const {
  if (index < 0 || index >= m_series.size()) return {};
  const auto at = static_cast<std::size_t>(index);
  QString lines = text(core::chart_day_text(m_series, index));
  const auto add = [&](const char* name, bool shown, const std::vector<float>& values, bool price) {
    if (!shown) return;
    const float v = values[at];
    lines += QStringLiteral("\n") + QLatin1String(name) + QStringLiteral(": ") +
             text(price ? core::price_text(v) : core::quantity_text(v));
  };
  add("Open", m_series.has_open, m_series.open, true);
  add("High", m_series.has_high_low, m_series.high, true);
  add("Low", m_series.has_high_low, m_series.low, true);
  add("Close", true, m_series.close, true);
  add("Volume", m_series.has_volume, m_series.volume, false);
  add("Open Interest", m_series.has_oi, m_series.oi, false);
  const auto suspect = std::lower_bound(m_suspects.begin(), m_suspects.end(), index,
                                        [](const core::Suspect& s, int i) { return s.index < i; });
  if (suspect != m_suspects.end() && suspect->index == index)
    lines += QStringLiteral("\nSuspect: ") + text(core::suspect_text(suspect->reason));
  return lines;
}

void CChartView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintChart(painter, rect(), {&m_series, &m_window, &m_suspects, m_current});
}

void CChartView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_window.set_width(plotRect().width());
}

void CChartView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  m_pressed = true;
  m_dragging = false;
  m_pressPoint = event->position().toPoint();
  m_dragX = event->position().x();
}

void CChartView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed) return;
  if (!m_dragging && (event->position().toPoint() - m_pressPoint).manhattanLength() <
                         QApplication::startDragDistance())
    return;
  m_dragging = true;
  setCursor(Qt::ClosedHandCursor);
  m_window.pan(event->position().x() - m_dragX);
  m_dragX = event->position().x();
  update();
}

void CChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_pressed) return;
  m_pressed = false;
  if (m_dragging) {
    m_dragging = false;
    unsetCursor();
    return;
  }
  const int index = indexAt(event->position().toPoint());
  if (index >= 0) emit rowClicked(core::chart_row_of_index(index, m_series.size()));
}

void CChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The release that ends the double-click is no click of its own.
  m_pressed = false;
  const int index = indexAt(event->position().toPoint());
  if (index >= 0) {
    emit rowActivated(core::chart_row_of_index(index, m_series.size()));
    return;
  }
  // Outside the plot lie the axes: the whole series again.
  m_window.show_all();
  update();
}

void CChartView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0 || m_series.size() == 0) return;
  m_window.zoom(std::pow(kZoomStep, notches), event->position().x() - plotRect().left());
  update();
  event->accept();
}

void CChartView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Home:
      m_window.show_first();
      break;
    case Qt::Key_End:
      m_window.show_last();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  update();
}

bool CChartView::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = indexAt(help->pos());
    if (index < 0)
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), dayText(index), this);
    return true;
  }
  return QWidget::event(event);
}
