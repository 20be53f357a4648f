// Column titles of the two grids and the rules that decide whether stored widths still fit.
#pragma once

#include <array>

#include <QStringList>

inline constexpr int kSymbolColumns = 2;
inline constexpr int kQuoteColumns = 7;

QStringList symbol_column_titles();  // "Symbol", "Name"
QStringList quote_column_titles();   // "Date" ... "Open Interest"

// Default widths: 9/20 and 9/70 of the grid's client width (integer division).
int default_symbol_width(int client_width);
int default_quote_width(int client_width);

// Stored widths (each read with the default) are kept unless one is 0 or wider than the grid,
// or together they are wider than the grid: then every column gets the default.
std::array<int, kSymbolColumns> fit_symbol_widths(std::array<int, kSymbolColumns> stored,
                                                  int client_width);
std::array<int, kQuoteColumns> fit_quote_widths(std::array<int, kQuoteColumns> stored,
                                                int client_width);
