#include "core/chart_window.h"

#include <algorithm>
#include <cmath>

namespace core {

void ChartWindow::reset(int count, double plot_width_px) {
  m_count = std::max(count, 0);
  m_width = std::max(plot_width_px, 0.0);
  m_first = 0;
  m_bars = m_count;
}

void ChartWindow::set_width(double plot_width_px) { m_width = std::max(plot_width_px, 0.0); }

double ChartWindow::first() const { return m_first; }
double ChartWindow::last() const { return m_count == 0 ? m_first : m_first + m_bars - 1; }

int ChartWindow::first_visible() const {
  if (m_count == 0) return -1;
  return std::clamp(static_cast<int>(std::floor(m_first)), 0, m_count - 1);
}

int ChartWindow::last_visible() const {
  if (m_count == 0) return -2;
  return std::clamp(static_cast<int>(std::ceil(m_first + m_bars)) - 1, 0, m_count - 1);
}

double ChartWindow::pixels_per_bar() const { return m_bars > 0 ? m_width / m_bars : 0.0; }

double ChartWindow::x_of(double index) const { return (index - m_first + 0.5) * pixels_per_bar(); }

int ChartWindow::index_at(double x) const {
  if (m_count == 0) return -1;
  const double ppb = pixels_per_bar();
  const double position = ppb > 0 ? m_first + x / ppb : m_first;
  if (!(position >= 0)) return 0;  // also NaN
  if (position >= m_count) return m_count - 1;
  return static_cast<int>(position);
}

bool ChartWindow::shows_bars() const { return pixels_per_bar() >= kMinBarPixels; }

void ChartWindow::zoom(double factor, double anchor_x) {
  if (m_count == 0 || !(factor > 0) || !std::isfinite(factor)) return;
  const double ppb = pixels_per_bar();
  const double anchor = ppb > 0 ? m_first + anchor_x / ppb : m_first + m_bars / 2;
  const double fewest = std::min<double>(kMinSpan, m_count);
  m_bars = std::clamp(m_bars / factor, fewest, static_cast<double>(m_count));
  const double new_ppb = pixels_per_bar();
  m_first = new_ppb > 0 ? anchor - anchor_x / new_ppb : anchor - m_bars / 2;
  clamp();
}

void ChartWindow::pan(double dx_px) {
  const double ppb = pixels_per_bar();
  if (ppb <= 0 || !std::isfinite(dx_px)) return;
  m_first -= dx_px / ppb;
  clamp();
}

void ChartWindow::show_all() { reset(m_count, m_width); }

void ChartWindow::show_first() {
  m_first = 0;
  clamp();
}

void ChartWindow::show_last() {
  m_first = m_count - m_bars;
  clamp();
}

void ChartWindow::show_span(int first, int last) {
  if (m_count == 0) return;
  first = std::clamp(first, 0, m_count - 1);
  last = std::clamp(last, first, m_count - 1);
  const double fewest = std::min<double>(kMinSpan, m_count);
  m_bars = std::max<double>(last - first + 1, fewest);
  // A span narrower than the fewest bars is widened about its middle.
  m_first = (first + last + 1) / 2.0 - m_bars / 2;
  clamp();
}

void ChartWindow::ensure_visible(int index) {
  if (m_count == 0) return;
  index = std::clamp(index, 0, m_count - 1);
  if (index < m_first)
    m_first = index;
  else if (index + 1 > m_first + m_bars)
    m_first = index + 1 - m_bars;
  clamp();
}

void ChartWindow::clamp() {
  m_bars = std::clamp(m_bars, 0.0, static_cast<double>(m_count));
  m_first = std::clamp(m_first, 0.0, m_count - m_bars);
}

}  // namespace core
