#include "gui/edit/grid_columns.h"

#include <algorithm>
#include <vector>

#include <QHeaderView>

#include "gui/base/setting_keys.h"
#include "gui/base/settings_store.h"
#include "gui/edit/grid_view.h"

namespace {

template <typename Widths>
Widths fit(Widths stored, int clientWidth, int fallback) {
  long long sum = 0;
  bool fits = true;
  for (int width : stored) {
    if (width <= 0 || width > clientWidth) fits = false;
    sum += width;
  }
  if (sum > clientWidth) fits = false;
  if (fits) return stored;
  std::fill(stored.begin(), stored.end(), fallback);
  return stored;
}

int defaultWidth(int columns, int clientWidth) {
  return columns == kSymbolColumns ? defaultSymbolWidth(clientWidth)
                                   : defaultQuoteWidth(clientWidth);
}

}  // namespace

QStringList symbolColumnTitles() { return {QStringLiteral("Symbol"), QStringLiteral("Name")}; }

QStringList quoteColumnTitles() {
  return {QStringLiteral("Date"),         QStringLiteral("Open"),  QStringLiteral("High"),
          QStringLiteral("Low"),          QStringLiteral("Close"), QStringLiteral("Volume"),
          QStringLiteral("Open Interest")};
}

int defaultSymbolWidth(int clientWidth) { return clientWidth * 9 / 20; }

int defaultQuoteWidth(int clientWidth) { return clientWidth * 9 / 70; }

std::array<int, kSymbolColumns> fitSymbolWidths(std::array<int, kSymbolColumns> stored,
                                                int clientWidth) {
  return fit(stored, clientWidth, defaultSymbolWidth(clientWidth));
}

std::array<int, kQuoteColumns> fitQuoteWidths(std::array<int, kQuoteColumns> stored,
                                              int clientWidth) {
  return fit(stored, clientWidth, defaultQuoteWidth(clientWidth));
}

void restoreColumnWidths(CGridView& grid, const CSettingsStore& settings, const QString& section) {
  const int columns = grid.model()->columnCount();
  const int clientWidth = grid.clientWidth();
  const int fallback = defaultWidth(columns, clientWidth);
  std::vector<int> widths;
  for (int i = 0; i < columns; ++i)
    widths.push_back(settings.GetInt(section, setting_keys::columnWidthName(i), fallback));
  widths = fit(widths, clientWidth, fallback);
  for (int i = 0; i < columns; ++i)
    grid.horizontalHeader()->resizeSection(i, widths[static_cast<std::size_t>(i)]);
}

void storeColumnWidths(const CGridView& grid, CSettingsStore& settings, const QString& section) {
  const int columns = grid.model()->columnCount();
  const QHeaderView* header = grid.horizontalHeader();
  for (int i = 0; i < columns; ++i) {
    int width = header->sectionSize(i);
    if (i == columns - 1 && header->stretchLastSection())
      width = std::min(width, std::max(defaultWidth(columns, grid.clientWidth()), 1));
    settings.SetInt(section, setting_keys::columnWidthName(i), width);
  }
}
