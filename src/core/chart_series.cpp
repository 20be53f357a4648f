#include "core/chart_series.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/quote_texts.h"
#include "core/quote_windows.h"
#include "qdb/layout.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace core {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A stored value as drawn: N/A (negative, or the -1 of an absent field) becomes NaN.
float drawn(float value) { return value >= 0 ? value : kNaN; }

// The system's read-failure wording, then the cause in words (or the status text).
std::string read_failure_message(std::string_view directory, std::string_view key,
                                 qdb::StatusCode status, int file_number) {
  const std::string cause = qdb::read_failure_cause(directory, key, file_number);
  std::string message = "Error in FillQuotesGrid\n";
  if (cause.empty()) {
    message += '(';
    message += key;
    message += ": ";
    message += qdb::status_text(status);
    message += ')';
  } else {
    message += key;
    message += ": ";
    message += cause;
  }
  return message;
}

float fmin_nan(float a, float b) {
  return std::isnan(a) ? b : (std::isnan(b) ? a : std::min(a, b));
}
float fmax_nan(float a, float b) {
  return std::isnan(a) ? b : (std::isnan(b) ? a : std::max(a, b));
}

}  // namespace

bool load_chart_series(std::string_view directory, std::string_view key, ChartSeries& out,
                       std::string& message, int file_number) {
  using State = NewestFirstQuotes::State;
  out = ChartSeries{};
  message.clear();
  NewestFirstQuotes quotes;
  if (!quotes.open(directory, key, file_number)) {
    message = quotes.state() == State::kNoMemory
                  ? std::string("Too many bars")
                  : read_failure_message(directory, key, quotes.status(), file_number);
    return false;
  }
  const bool with_time = quotes.has_time();
  // Windows arrive newest first, each oldest row first: gathered newest first, then reversed.
  std::vector<qdb::QuoteBar> bars;
  bars.reserve(static_cast<std::size_t>(quotes.total()));
  bool present[qdb::kFieldCountAll] = {};
  bool layout_known = false;
  while (quotes.next()) {
    const qdb::QuoteSeries& window = quotes.window();
    if (!layout_known && window.info != nullptr) {
      for (int f = 0; f < qdb::kFieldCountAll; ++f) present[f] = window.info->column_map[f] != 0;
      layout_known = true;
    }
    for (int row = quotes.rows() - 1; row >= 0; --row) bars.push_back(window.bar(row));
  }
  if (quotes.state() == State::kReadFailed) {
    message = read_failure_message(directory, key, quotes.status(), file_number);
    return false;
  }
  if (quotes.state() == State::kShortRead) {
    // The rows the file does hold are drawn; the caller may show why the rest are missing.
    const std::string cause = qdb::read_failure_cause(directory, key, file_number);
    message = cause.empty() ? "the data file holds fewer quotes than its header says" : cause;
  }
  std::reverse(bars.begin(), bars.end());

  fill_chart_series(out, bars, with_time);
  // The layout, when a quote was read, says which fields the file holds at all.
  if (layout_known) {
    out.has_open = out.has_open && present[qdb::kOpen];
    out.has_high_low = out.has_high_low && present[qdb::kHigh] && present[qdb::kLow];
    out.has_volume = out.has_volume && present[qdb::kVol];
    out.has_oi = out.has_oi && present[qdb::kOi];
  }
  return true;
}

void fill_chart_series(ChartSeries& out, const std::vector<qdb::QuoteBar>& bars, bool with_time) {
  const std::size_t n = bars.size();
  out.date.resize(n);
  out.seconds.resize(with_time ? n : 0);
  out.open.resize(n);
  out.high.resize(n);
  out.low.resize(n);
  out.close.resize(n);
  out.volume.resize(n);
  out.oi.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const qdb::QuoteBar& bar = bars[i];
    out.date[i] = bar.date;
    if (with_time) out.seconds[i] = qdb::bar_seconds(bar);
    out.open[i] = drawn(bar.open);
    out.high[i] = drawn(bar.high);
    out.low[i] = drawn(bar.low);
    out.close[i] = drawn(bar.close);
    out.volume[i] = drawn(bar.volume);
    out.oi[i] = drawn(bar.oi);
  }
  auto any_value = [](const std::vector<float>& column) {
    return std::any_of(column.begin(), column.end(), [](float v) { return !std::isnan(v); });
  };
  out.has_open = any_value(out.open);
  out.has_high_low = any_value(out.high) && any_value(out.low);
  out.has_volume = any_value(out.volume);
  // An open interest of zero throughout is a field nobody filled: no line is drawn for it.
  out.has_oi = std::any_of(out.oi.begin(), out.oi.end(), [](float v) { return v > 0; });
  out.has_time = with_time;
  build_chart_ranges(out);
}

void build_chart_ranges(ChartSeries& series) {
  ChartRangeIndex& r = series.ranges;
  const int n = series.size();
  r = ChartRangeIndex{};
  r.bar_low.assign(static_cast<std::size_t>(n), kNaN);
  r.bar_high.assign(static_cast<std::size_t>(n), kNaN);
  auto column = [n](const std::vector<float>& v, int i) {
    return static_cast<int>(v.size()) == n ? v[static_cast<std::size_t>(i)] : kNaN;
  };
  for (int i = 0; i < n; ++i) {
    float lo = kNaN, hi = kNaN;
    for (const std::vector<float>* v : {&series.open, &series.high, &series.low, &series.close}) {
      const float x = column(*v, i);
      lo = fmin_nan(lo, x);
      hi = fmax_nan(hi, x);
    }
    r.bar_low[static_cast<std::size_t>(i)] = lo;
    r.bar_high[static_cast<std::size_t>(i)] = hi;
  }
  const int blocks = (n + ChartRangeIndex::kBlock - 1) / ChartRangeIndex::kBlock;
  r.block_low.assign(static_cast<std::size_t>(blocks), kNaN);
  r.block_high.assign(static_cast<std::size_t>(blocks), kNaN);
  r.block_volume_high.assign(static_cast<std::size_t>(blocks), kNaN);
  r.block_oi_low.assign(static_cast<std::size_t>(blocks), kNaN);
  r.block_oi_high.assign(static_cast<std::size_t>(blocks), kNaN);
  for (int i = 0; i < n; ++i) {
    const auto b = static_cast<std::size_t>(i / ChartRangeIndex::kBlock);
    const auto k = static_cast<std::size_t>(i);
    r.block_low[b] = fmin_nan(r.block_low[b], r.bar_low[k]);
    r.block_high[b] = fmax_nan(r.block_high[b], r.bar_high[k]);
    r.block_volume_high[b] = fmax_nan(r.block_volume_high[b], column(series.volume, i));
    r.block_oi_low[b] = fmin_nan(r.block_oi_low[b], column(series.oi, i));
    r.block_oi_high[b] = fmax_nan(r.block_oi_high[b], column(series.oi, i));
  }
  r.count = n;
}

std::string chart_day_text(const ChartSeries& series, int index) {
  const auto i = static_cast<std::size_t>(index);
  std::string text = display_date_text(series.date[i]);
  if (series.has_time && i < series.seconds.size()) {
    text += ' ';
    text += qdb::format_seconds_string(series.seconds[i]);
  }
  return text;
}

int chart_index_of_row(int row, int size) { return size - 1 - row; }
int chart_row_of_index(int index, int size) { return size - 1 - index; }

bool chart_span_of_dates(const ChartSeries& series, qdb::DateSerial from, qdb::DateSerial to,
                         int& first, int& last) {
  const auto begin = series.date.begin();
  const auto end = series.date.end();
  // Dates ascend in a sound series; a disordered one still gets a span, never out of range.
  const auto lo = from > 0 ? std::lower_bound(begin, end, from) : begin;
  const auto hi = to > 0 ? std::upper_bound(begin, end, to) : end;
  if (lo >= hi) return false;
  first = static_cast<int>(lo - begin);
  last = static_cast<int>(hi - begin) - 1;
  return true;
}

}  // namespace core
