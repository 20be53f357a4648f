#include "gui/browse/grid_columns.h"

namespace {

template <std::size_t N>
std::array<int, N> fit(std::array<int, N> stored, int client_width, int fallback) {
  long long sum = 0;
  bool fits = true;
  for (int width : stored) {
    if (width <= 0 || width > client_width) fits = false;
    sum += width;
  }
  if (sum > client_width) fits = false;
  if (fits) return stored;
  std::array<int, N> widths;
  widths.fill(fallback);
  return widths;
}

}  // namespace

QStringList symbol_column_titles() { return {QStringLiteral("Symbol"), QStringLiteral("Name")}; }

QStringList quote_column_titles() {
  return {QStringLiteral("Date"),         QStringLiteral("Open"),  QStringLiteral("High"),
          QStringLiteral("Low"),          QStringLiteral("Close"), QStringLiteral("Volume"),
          QStringLiteral("Open Interest")};
}

int default_symbol_width(int client_width) { return client_width * 9 / 20; }

int default_quote_width(int client_width) { return client_width * 9 / 70; }

std::array<int, kSymbolColumns> fit_symbol_widths(std::array<int, kSymbolColumns> stored,
                                                  int client_width) {
  return fit(stored, client_width, default_symbol_width(client_width));
}

std::array<int, kQuoteColumns> fit_quote_widths(std::array<int, kQuoteColumns> stored,
                                                int client_width) {
  return fit(stored, client_width, default_quote_width(client_width));
}
