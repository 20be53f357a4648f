#include "gui/chart/chart_painter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include "core/chart_ticks.h"
#include "core/quote_texts.h"

namespace {

constexpr int kMarginLeft = 6;
constexpr int kMarginTop = 6;
constexpr int kPriceAxisWidth = 66;
constexpr int kDateAxisHeight = 20;
constexpr int kPaneGap = 6;
constexpr double kVolumeShare = 0.22;
constexpr int kLabelPixels = 11;
constexpr double kSuspectMarkSize = 5.0;

QColor backgroundColor() { return QColor(255, 255, 255); }
QColor paneColor() { return QColor(252, 252, 250); }
QColor frameColor() { return QColor(170, 170, 170); }
QColor gridColor() { return QColor(232, 232, 232); }
QColor majorGridColor() { return QColor(205, 205, 205); }
QColor textColor() { return QColor(60, 60, 60); }
QColor priceColor() { return QColor(25, 70, 150); }
QColor volumeColor() { return QColor(150, 165, 185); }
QColor oiColor() { return QColor(215, 125, 30); }
QColor suspectColor() { return QColor(210, 30, 30); }
QColor suspectBandColor() { return QColor(230, 40, 40, 45); }
QColor currentColor() { return QColor(20, 150, 70); }

// Maps the values of a range onto the y pixels of a pane (the higher value up).
class YScale {
 public:
  YScale(const QRect& pane, double low, double high)
      : m_bottom(pane.bottom() + 0.5),
        m_low(low),
        m_scale(high > low ? (pane.height() - 1) / (high - low) : 0.0) {}
  double y(double value) const { return m_bottom - (value - m_low) * m_scale; }

 private:
  double m_bottom;
  double m_low;
  double m_scale;
};

// A value range widened a little so that the extremes do not touch the pane's edges; a single
// value gets a range around it.
core::ValueRange padded(core::ValueRange range) {
  if (range.empty()) return range;
  double span = range.high - range.low;
  if (span <= 0) {
    span = std::max(std::abs(range.high) * 0.1, 1e-6);
    return {range.low - span, range.high + span};
  }
  return {range.low - span * 0.04, range.high + span * 0.04};
}

// The values of one pixel column: the first and last present value of its quotes, and their
// extremes. A column whose quotes have no present value breaks the line (present false).
struct Column {
  double x;
  float first, last, low, high;
  bool present;
};

// Reduces values[first..last] to one Column per pixel column of the plot, so a long span costs
// one short line per column however many quotes it holds.
std::vector<Column> envelope(const std::vector<float>& values, const core::ChartWindow& window,
                             double left, int first, int last) {
  std::vector<Column> columns;
  if (first > last) return columns;
  const double ppb = window.pixels_per_bar();
  columns.reserve(static_cast<std::size_t>(std::min<double>(last - first + 1, window.width() + 2)));
  Column current{0, 0, 0, 0, 0, false};
  long column = 0;
  bool open = false;
  for (int i = first; i <= last; ++i) {
    const double x = left + window.x_of(i);
    const long at = static_cast<long>(std::floor(x));
    if (!open || at != column) {
      if (open) columns.push_back(current);
      column = at;
      open = true;
      // Many quotes in a column draw at its centre; a wide bar keeps its exact centre.
      current = {ppb < 1.0 ? at + 0.5 : x, 0, 0, 0, 0, false};
    }
    const float v = values[static_cast<std::size_t>(i)];
    if (std::isnan(v)) continue;
    if (!current.present) {
      current.first = current.low = current.high = v;
      current.present = true;
    } else {
      current.low = std::min(current.low, v);
      current.high = std::max(current.high, v);
    }
    current.last = v;
  }
  if (open) columns.push_back(current);
  return columns;
}

// Draws the columns as a line broken where a column has no value; within a column the line
// runs over its extremes.
void drawEnvelopeLine(QPainter& painter, const std::vector<Column>& columns, const YScale& scale) {
  QPolygonF line;
  const auto flush = [&] {
    if (line.size() == 1) line << line.first() + QPointF(0.5, 0);  // a lone point still shows
    if (line.size() > 1) painter.drawPolyline(line);
    line.clear();
  };
  for (const Column& c : columns) {
    if (!c.present) {
      flush();
      continue;
    }
    line << QPointF(c.x, scale.y(c.first));
    if (c.low != c.high) line << QPointF(c.x, scale.y(c.low)) << QPointF(c.x, scale.y(c.high));
    if (c.last != c.first || c.low != c.high) line << QPointF(c.x, scale.y(c.last));
  }
  flush();
}

// "1.5M", "250K", "980": volume and open interest labels.
QString compactNumber(double value) {
  const double magnitude = std::abs(value);
  if (magnitude >= 1e9) return QString::number(value / 1e9, 'f', magnitude >= 1e10 ? 0 : 1) + "G";
  if (magnitude >= 1e6) return QString::number(value / 1e6, 'f', magnitude >= 1e7 ? 0 : 1) + "M";
  if (magnitude >= 1e3) return QString::number(value / 1e3, 'f', magnitude >= 1e4 ? 0 : 1) + "K";
  return QString::number(value, 'f', 0);
}

// The visible suspects: [begin, end) of the ones with indices first..last.
std::pair<std::vector<core::Suspect>::const_iterator, std::vector<core::Suspect>::const_iterator>
visibleSuspects(const std::vector<core::Suspect>& suspects, int first, int last) {
  const auto byIndex = [](const core::Suspect& s, int index) { return s.index < index; };
  const auto begin = std::lower_bound(suspects.begin(), suspects.end(), first, byIndex);
  const auto end = std::lower_bound(begin, suspects.end(), last + 1, byIndex);
  return {begin, end};
}

// The lowest present price of quote i (NaN when it has none).
float lowestPrice(const core::ChartSeries& s, int i) {
  const auto at = static_cast<std::size_t>(i);
  float low = NAN;
  for (const std::vector<float>* column : {&s.low, &s.close, &s.open, &s.high}) {
    if (column->size() <= at) continue;
    const float v = (*column)[at];
    if (!std::isnan(v) && (std::isnan(low) || v < low)) low = v;
  }
  return low;
}

class ChartDrawing {
 public:
  ChartDrawing(QPainter& painter, const QRect& rect, const ChartPaintState& state)
      : m_p(painter),
        m_rect(rect),
        m_series(*state.series),
        m_window(*state.window),
        m_state(state),
        m_plot(chartPlotRect(rect)),
        m_prices(chartPricePane(m_plot, m_series)),
        m_volumes(chartVolumePane(m_plot, m_series)),
        m_first(std::max(m_window.first_visible(), 0)),
        m_last(std::min(m_window.last_visible(), m_series.size() - 1)) {}

  void draw() {
    m_p.fillRect(m_rect, backgroundColor());
    QFont font = m_p.font();
    font.setPixelSize(kLabelPixels);
    m_p.setFont(font);
    m_p.fillRect(m_prices, paneColor());
    if (!m_volumes.isEmpty()) m_p.fillRect(m_volumes, paneColor());

    const bool empty =
        m_series.size() == 0 || m_window.count() != m_series.size() || m_first > m_last;
    const core::ValueRange priceRange =
        empty ? core::ValueRange{1, 0} : padded(core::price_range(m_series, m_first, m_last));
    if (empty || priceRange.empty()) {
      drawFrames();
      m_p.setPen(textColor());
      m_p.drawText(m_prices, Qt::AlignCenter, QStringLiteral("No quotes"));
      return;
    }
    const YScale prices(m_prices, priceRange.low, priceRange.high);
    drawPriceGrid(priceRange);
    drawDateGrid();
    drawSuspectBands();
    drawVolumes();
    drawOpenInterest();
    drawLowerCaptions();
    drawPrices(prices);
    drawSuspectMarks(prices);
    drawCurrent();
    drawFrames();
  }

 private:
  double xOf(double index) const { return m_plot.left() + m_window.x_of(index); }

  // A line of one point per quote is smoothed; an envelope of many quotes per pixel column is
  // drawn with a plain one-pixel pen, which the raster engine draws many times faster.
  void setLinePen(const QColor& color) {
    const bool smooth = m_window.pixels_per_bar() >= 1.0;
    m_p.setRenderHint(QPainter::Antialiasing, smooth);
    m_p.setPen(smooth ? QPen(color, 1.2) : hairline(color));
  }

  // A line one logical pixel wide: the fast one-device-pixel pen on a screen of pixel ratio 1,
  // as many device pixels as the ratio elsewhere, so lines keep their weight when scaled.
  QPen hairline(const QColor& color) const {
    const qreal ratio = m_p.device() ? m_p.device()->devicePixelRatioF() : 1.0;
    QPen pen(color, ratio > 1.0 ? ratio : 0.0);
    pen.setCosmetic(true);
    return pen;
  }

  // A series whose values are all zero in the lower pane: a line along the pane's bottom,
  // where zero lies, over the days shown.
  void drawZeroLine(const QColor& color) {
    const double y = m_volumes.bottom() - 0.5;
    m_p.save();
    m_p.setClipRect(m_volumes);
    m_p.setRenderHint(QPainter::Antialiasing, false);
    m_p.setPen(hairline(color));
    m_p.drawLine(QPointF(xOf(m_first), y), QPointF(std::max(xOf(m_last), xOf(m_first) + 1), y));
    m_p.restore();
  }

  void drawFrames() {
    m_p.setRenderHint(QPainter::Antialiasing, false);
    m_p.setBrush(Qt::NoBrush);
    m_p.setPen(frameColor());
    m_p.drawRect(m_prices.adjusted(0, 0, -1, -1));
    if (!m_volumes.isEmpty()) m_p.drawRect(m_volumes.adjusted(0, 0, -1, -1));
  }

  void drawPriceGrid(const core::ValueRange& range) {
    const YScale scale(m_prices, range.low, range.high);
    const QFontMetrics metrics(m_p.font());
    m_p.setRenderHint(QPainter::Antialiasing, false);
    for (const core::PriceTick& tick :
         core::price_ticks(range.low, range.high, m_prices.height())) {
      const double y = std::round(scale.y(tick.value));
      if (y < m_prices.top() || y > m_prices.bottom()) continue;
      m_p.setPen(gridColor());
      m_p.drawLine(QPointF(m_prices.left(), y), QPointF(m_prices.right(), y));
      m_p.setPen(frameColor());
      m_p.drawLine(QPointF(m_prices.right(), y), QPointF(m_prices.right() + 4, y));
      const QString label = QString::fromStdString(tick.label);
      const QRectF box(m_prices.right() + 7, y - metrics.height() / 2.0, kPriceAxisWidth - 8,
                       metrics.height());
      // A label that would run off the pane's top or bottom is left out.
      if (box.top() < m_rect.top() || box.bottom() > m_prices.bottom() + metrics.height() / 2.0)
        continue;
      m_p.setPen(textColor());
      m_p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(label, Qt::ElideRight, static_cast<int>(box.width())));
    }
  }

  void drawDateGrid() {
    const QFontMetrics metrics(m_p.font());
    const double half = m_window.pixels_per_bar() / 2;
    const int labelTop = m_plot.bottom() + 3;
    m_p.setRenderHint(QPainter::Antialiasing, false);
    double lastLabelRight = -1e9;
    // A tick label that the current day's date box would cover is left out.
    const QRectF currentBox = currentDateBox(currentDateText());
    for (const core::DateTick& tick : core::date_ticks(m_series, m_window)) {
      // A period's line sits at the left edge of its first quote.
      const double x = std::round(xOf(tick.index) - half);
      if (x < m_plot.left() || x > m_plot.right()) continue;
      m_p.setPen(tick.major ? majorGridColor() : gridColor());
      m_p.drawLine(QPointF(x, m_prices.top()), QPointF(x, m_prices.bottom()));
      if (!m_volumes.isEmpty())
        m_p.drawLine(QPointF(x, m_volumes.top()), QPointF(x, m_volumes.bottom()));
      m_p.setPen(frameColor());
      m_p.drawLine(QPointF(x, m_plot.bottom()), QPointF(x, m_plot.bottom() + 3));

      const QString label = QString::fromStdString(tick.label);
      QFont font = m_p.font();
      font.setBold(tick.major);
      const QFontMetrics tickMetrics(font);
      const int width = tickMetrics.horizontalAdvance(label);
      // Centred on the line, kept inside the picture and clear of the previous label.
      double left = std::clamp(x - width / 2.0, static_cast<double>(m_rect.left() + 1),
                               static_cast<double>(m_rect.right() - width - 1));
      if (left < lastLabelRight + 4) continue;
      if (!currentBox.isEmpty() && left < currentBox.right() + 2 &&
          left + width > currentBox.left() - 2)
        continue;
      lastLabelRight = left + width;
      m_p.save();
      m_p.setFont(font);
      m_p.setPen(textColor());
      m_p.drawText(QRectF(left, labelTop, width + 1, metrics.height()),
                   Qt::AlignLeft | Qt::AlignTop, label);
      m_p.restore();
    }
  }

  void drawSuspectBands() {
    if (!m_state.suspects) return;
    const auto [begin, end] = visibleSuspects(*m_state.suspects, m_first, m_last);
    const int width = static_cast<int>(std::max(std::round(m_window.pixels_per_bar()), 5.0));
    m_p.setRenderHint(QPainter::Antialiasing, false);
    int coveredTo = std::numeric_limits<int>::min();  // bands never paint a column twice
    for (auto it = begin; it != end; ++it) {
      int left = static_cast<int>(std::round(xOf(it->index) - width / 2.0));
      const int right = std::min(left + width, m_prices.right() + 1);
      left = std::max({left, coveredTo, m_prices.left()});
      if (left >= right) continue;
      m_p.fillRect(QRect(left, m_prices.top(), right - left, m_prices.height()),
                   suspectBandColor());
      coveredTo = right;
    }
  }

  void drawVolumes() {
    if (m_volumes.isEmpty() || !m_series.has_volume) return;
    const core::ValueRange range = core::volume_range(m_series, m_first, m_last);
    if (range.empty()) return;
    if (range.high <= 0) {
      drawZeroLine(volumeColor());
      return;
    }
    const YScale scale(m_volumes.adjusted(0, 3, 0, 0), 0, range.high);
    const double base = m_volumes.bottom() + 0.5;
    m_p.save();
    m_p.setClipRect(m_volumes);
    m_p.setRenderHint(QPainter::Antialiasing, false);
    const double ppb = m_window.pixels_per_bar();
    if (ppb >= core::ChartWindow::kMinBarPixels) {
      const double width = std::max(1.0, std::floor(ppb * 0.7));
      for (int i = m_first; i <= m_last; ++i) {
        const float v = m_series.volume[static_cast<std::size_t>(i)];
        if (std::isnan(v) || v <= 0) continue;
        const double top = scale.y(v);
        m_p.fillRect(QRectF(xOf(i) - width / 2, top, width, base - top), volumeColor());
      }
    } else {
      std::vector<QLineF> lines;
      for (const Column& c : envelope(m_series.volume, m_window, m_plot.left(), m_first, m_last))
        if (c.present && c.high > 0) lines.emplace_back(c.x, base, c.x, scale.y(c.high));
      m_p.setPen(volumeColor());
      m_p.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    m_p.restore();
    const QFontMetrics metrics(m_p.font());
    m_p.setPen(textColor());
    m_p.drawText(
        QRectF(m_volumes.right() + 7, m_volumes.top(), kPriceAxisWidth - 8, metrics.height()),
        Qt::AlignLeft | Qt::AlignTop, compactNumber(range.high));
  }

  void drawOpenInterest() {
    if (m_volumes.isEmpty() || !m_series.has_oi) return;
    const core::ValueRange shown = core::oi_range(m_series, m_first, m_last);
    if (shown.empty()) return;
    if (shown.low == 0 && shown.high == 0) {
      drawZeroLine(oiColor());
      return;
    }
    const core::ValueRange range = padded(shown);
    const YScale scale(m_volumes.adjusted(0, 3, 0, -2), range.low, range.high);
    m_p.save();
    m_p.setClipRect(m_volumes);
    setLinePen(oiColor());
    drawEnvelopeLine(m_p, envelope(m_series.oi, m_window, m_plot.left(), m_first, m_last), scale);
    m_p.restore();
  }

  // The lower pane's captions, each on a patch of the pane's colour so the lines under them
  // do not hide them.
  void drawLowerCaptions() {
    if (m_volumes.isEmpty()) return;
    const QFontMetrics metrics(m_p.font());
    int left = m_volumes.left() + 3;
    const auto caption = [&](const QString& text, const QColor& color) {
      const int width = metrics.horizontalAdvance(text) + 6;
      if (left + width > m_volumes.right()) return;
      const QRect box(left, m_volumes.top() + 2, width, metrics.height());
      m_p.fillRect(box, QColor(252, 252, 250, 215));
      m_p.setPen(color);
      m_p.drawText(box, Qt::AlignCenter, text);
      left += width + 4;
    };
    if (m_series.has_volume) caption(QStringLiteral("Volume"), textColor());
    if (m_series.has_oi) caption(QStringLiteral("Open interest"), oiColor().darker(120));
  }

  void drawPrices(const YScale& scale) {
    m_p.save();
    m_p.setClipRect(m_prices);
    if (m_window.shows_bars() && m_series.has_high_low) {
      drawBars(scale);
    } else {
      setLinePen(priceColor());
      drawEnvelopeLine(m_p, envelope(m_series.close, m_window, m_plot.left(), m_first, m_last),
                       scale);
    }
    m_p.restore();
  }

  void drawBars(const YScale& scale) {
    const double ppb = m_window.pixels_per_bar();
    const double tick = std::clamp(std::floor(ppb * 0.4), 1.0, 6.0);
    m_p.setRenderHint(QPainter::Antialiasing, false);
    std::vector<QLineF> normal;
    std::vector<QLineF> marked;
    const std::vector<core::Suspect>* suspects = m_state.suspects;
    auto next = suspects ? visibleSuspects(*suspects, m_first, m_last).first
                         : std::vector<core::Suspect>::const_iterator();
    for (int i = m_first; i <= m_last; ++i) {
      bool suspect = false;
      if (suspects) {
        while (next != suspects->end() && next->index < i) ++next;
        suspect = next != suspects->end() && next->index == i;
      }
      std::vector<QLineF>& lines = suspect ? marked : normal;
      const auto at = static_cast<std::size_t>(i);
      const double x = std::round(xOf(i)) + 0.5;
      const float high = m_series.high[at];
      const float low = m_series.low[at];
      if (!std::isnan(high) && !std::isnan(low)) {
        lines.emplace_back(x, scale.y(low), x, scale.y(high));
      } else if (!std::isnan(high) || !std::isnan(low)) {
        const double y = scale.y(std::isnan(high) ? low : high);
        lines.emplace_back(x - tick, y, x + tick, y);
      }
      if (m_series.has_open && !std::isnan(m_series.open[at])) {
        const double y = std::round(scale.y(m_series.open[at])) + 0.5;
        lines.emplace_back(x - tick, y, x, y);
      }
      if (!std::isnan(m_series.close[at])) {
        const double y = std::round(scale.y(m_series.close[at])) + 0.5;
        lines.emplace_back(x, y, x + tick, y);
      }
    }
    const double penWidth = ppb >= 9 ? 2.0 : 1.0;
    m_p.setPen(QPen(priceColor(), penWidth, Qt::SolidLine, Qt::FlatCap));
    m_p.drawLines(normal.data(), static_cast<int>(normal.size()));
    m_p.setPen(QPen(suspectColor(), penWidth, Qt::SolidLine, Qt::FlatCap));
    m_p.drawLines(marked.data(), static_cast<int>(marked.size()));
  }

  // A red triangle under each suspect day, pointing up at its lowest price.
  void drawSuspectMarks(const YScale& scale) {
    if (!m_state.suspects) return;
    const auto [begin, end] = visibleSuspects(*m_state.suspects, m_first, m_last);
    m_p.save();
    m_p.setClipRect(m_prices);
    m_p.setRenderHint(QPainter::Antialiasing, true);
    m_p.setPen(hairline(QColor(120, 0, 0)));
    m_p.setBrush(suspectColor());
    const double s = kSuspectMarkSize;
    const double lowest = m_prices.bottom() - s * 1.8;
    for (auto it = begin; it != end; ++it) {
      const double x = xOf(it->index);
      const float low = lowestPrice(m_series, it->index);
      const double tip = std::isnan(low) ? lowest : std::min(scale.y(low) + 3, lowest);
      const QPointF points[3] = {{x, tip}, {x - s, tip + s * 1.6}, {x + s, tip + s * 1.6}};
      m_p.drawPolygon(points, 3);
    }
    m_p.restore();
  }

  // The current day's x, clamped into the plot: the first and last days of a long span may
  // round to just outside it. NaN when the day is not shown.
  double currentX() const {
    const int index = m_state.currentIndex;
    if (index < m_first || index > m_last) return std::nan("");
    return std::clamp(std::round(xOf(index)) + 0.5, m_plot.left() + 0.5, m_plot.right() + 0.5);
  }

  // The box of the current day's date on the date axis (empty when the day is not shown).
  QRectF currentDateBox(const QString& date) const {
    const double x = currentX();
    if (std::isnan(x)) return {};
    const QFontMetrics metrics(m_p.font());
    const int width = metrics.horizontalAdvance(date) + 8;
    const double left = std::clamp(x - width / 2.0, static_cast<double>(m_rect.left()),
                                   static_cast<double>(m_rect.right() + 1 - width));
    return QRectF(left, m_plot.bottom() + 2, width, metrics.height() + 2);
  }

  QString currentDateText() const {
    const int index = m_state.currentIndex;
    if (index < 0 || index >= m_series.size()) return {};
    return QString::fromStdString(
        core::display_date_text(m_series.date[static_cast<std::size_t>(index)]));
  }

  void drawCurrent() {
    const double x = currentX();
    if (std::isnan(x)) return;
    m_p.setRenderHint(QPainter::Antialiasing, false);
    m_p.setPen(QPen(currentColor(), 1, Qt::DashLine));
    m_p.drawLine(QPointF(x, m_prices.top()), QPointF(x, m_plot.bottom()));
    // The day's date on the date axis, in place of the tick labels it covers, so the mark is
    // found even at the plot's edge.
    const QString date = currentDateText();
    const QRectF box = currentDateBox(date);
    m_p.fillRect(box, currentColor());
    m_p.setPen(Qt::white);
    m_p.drawText(box, Qt::AlignCenter, date);
  }

  QPainter& m_p;
  QRect m_rect;
  const core::ChartSeries& m_series;
  const core::ChartWindow& m_window;
  const ChartPaintState& m_state;
  QRect m_plot;
  QRect m_prices;
  QRect m_volumes;
  int m_first;
  int m_last;
};

bool hasLowerPane(const core::ChartSeries& series) { return series.has_volume || series.has_oi; }

}  // namespace

QRect chartPlotRect(const QRect& rect) {
  const QRect plot = rect.adjusted(kMarginLeft, kMarginTop, -kPriceAxisWidth, -kDateAxisHeight);
  return plot.isValid() ? plot : QRect(rect.topLeft(), QSize(1, 1));
}

QRect chartPricePane(const QRect& plot, const core::ChartSeries& series) {
  if (!hasLowerPane(series)) return plot;
  const int lower = static_cast<int>(plot.height() * kVolumeShare);
  return plot.adjusted(0, 0, 0, -(lower + kPaneGap));
}

QRect chartVolumePane(const QRect& plot, const core::ChartSeries& series) {
  if (!hasLowerPane(series)) return {};
  const int lower = static_cast<int>(plot.height() * kVolumeShare);
  return QRect(plot.left(), plot.bottom() - lower + 1, plot.width(), lower);
}

void paintChart(QPainter& painter, const QRect& rect, const ChartPaintState& state) {
  if (!state.series || !state.window) return;
  painter.save();
  ChartDrawing(painter, rect, state).draw();
  painter.restore();
}
