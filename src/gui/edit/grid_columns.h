// Column titles of the two grids, the rules that decide whether stored widths still fit, and
// the reading and writing of the widths in the settings ("SymbolGrid", "QuoteGrid").
#pragma once

#include <array>

#include <QString>
#include <QStringList>

class CGridView;
class CSettingsStore;

inline constexpr int kSymbolColumns = 2;
inline constexpr int kQuoteColumns = 7;

QStringList symbolColumnTitles();  // "Symbol", "Name"
QStringList quoteColumnTitles();   // "Date" ... "Open Interest"

// Default widths: 9/20 and 9/70 of the grid's client width (integer division).
int defaultSymbolWidth(int clientWidth);
int defaultQuoteWidth(int clientWidth);

// Stored widths (each read with the default) are kept unless one is 0 or wider than the grid,
// or together they are wider than the grid: then every column gets the default.
std::array<int, kSymbolColumns> fitSymbolWidths(std::array<int, kSymbolColumns> stored,
                                                int clientWidth);
std::array<int, kQuoteColumns> fitQuoteWidths(std::array<int, kQuoteColumns> stored,
                                              int clientWidth);

// Gives the grid's columns the widths stored in section (keys "col0", "col1", ...) when they
// fit its client width, else the default widths.
void restoreColumnWidths(CGridView& grid, const CSettingsStore& settings, const QString& section);
// Stores the widths of the grid's columns in section. The last column stretches to fill the
// grid, so its own width is stored no wider than the default: a window a little narrower at
// the next start still takes the widths the user set.
void storeColumnWidths(const CGridView& grid, CSettingsStore& settings, const QString& section);
