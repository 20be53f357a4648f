// Texts of the status bar's two counter panes.
#pragma once

#include <QString>

// "Symbol %d of %d" (current row + 1 of n), or "No Symbols Read" when n is 0.
QString formatSymbolPane(int symbolCount, int currentSymbolRow);
// "Quote %d of %d" (m - current row of m; row 0 is the newest, quote m), or "No Quotes Read".
QString formatQuotePane(int quoteCount, int currentQuoteRow);
