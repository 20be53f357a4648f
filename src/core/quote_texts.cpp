#include "core/quote_texts.h"

#include <cstdio>

#include "qdb/dates.h"

namespace core {

namespace {

// A value below zero (the reader's -1 for a field the layout lacks) and a value that compares
// unordered both read "N/A"; only a number of zero or more is printed.
std::string number_text(float value, const char* format) {
  if (!(value >= 0.0f)) return "N/A";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
  return buffer;
}

}  // namespace

std::string price_text(float value) { return number_text(value, "%.4f"); }

std::string quantity_text(float value) { return number_text(value, "%.0f"); }

std::array<std::string, 7> quote_cell_texts(const qdb::QuoteBar& bar) {
  return {qdb::format_date_string(bar.date, 3, '/'),
          price_text(bar.open),
          price_text(bar.high),
          price_text(bar.low),
          price_text(bar.close),
          quantity_text(bar.volume),
          quantity_text(bar.oi)};
}

}  // namespace core
