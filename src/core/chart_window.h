// The visible span of a chart and the mapping between series indices and x pixels.
#pragma once

namespace core {

// Bar i fills the pixels [(i - first) * ppb, (i - first + 1) * ppb) of the plot, where first is
// the fractional index at the plot's left edge and ppb the pixels per bar; its centre is at
// x_of(i). The span is kept inside the series.
class ChartWindow {
 public:
  // Whole series of count quotes visible in a plot plot_width_px wide.
  void reset(int count, double plot_width_px);
  // A new plot width, keeping the span.
  void set_width(double plot_width_px);

  int count() const { return m_count; }
  double width() const { return m_width; }
  // Visible index span (fractional), first <= last: first is the index at the plot's left edge
  // and last = first + bars shown - 1 (0 and count-1 when the whole series shows).
  double first() const;
  double last() const;
  // Whole indices of the bars at least partly in view, clamped; -1 / -2 (empty loop) when none.
  int first_visible() const;
  int last_visible() const;

  // Pixel x of a bar's centre (0 = plot left).
  double x_of(double index) const;
  // The bar under x, clamped to [0, count-1]; -1 when the series is empty.
  int index_at(double x) const;
  double pixels_per_bar() const;
  // Whether each bar has at least kMinBarPixels: draw OHLC bars, else a close line.
  bool shows_bars() const;
  static constexpr double kMinBarPixels = 3.0;
  // Fewest bars a zoom shows (or the whole series when it has fewer).
  static constexpr double kMinSpan = 10.0;

  // factor > 1 zooms in, keeping the bar under anchor_x in place; the span stays between
  // kMinSpan bars and the whole series.
  void zoom(double factor, double anchor_x);
  // Drags the content by dx pixels (right positive), clamped to the series.
  void pan(double dx_px);
  // The whole series; the oldest or newest bars keeping the span width (Home / End).
  void show_all();
  void show_first();
  void show_last();
  // Shows bars first..last (clamped, at least kMinSpan bars where the series has them).
  void show_span(int first, int last);
  // Scrolls, keeping the span, so that index is inside it.
  void ensure_visible(int index);

 private:
  void clamp();

  int m_count = 0;
  double m_width = 0;
  double m_first = 0;  // fractional index at the plot's left edge
  double m_bars = 0;   // bars across the plot
};

}  // namespace core
