// Texts of the status bar's two counter panes.
#pragma once

#include <QString>

// "Symbol %d of %d" (current row + 1 of n), or "No Symbols Read" when n is 0.
QString symbol_pane_text(int symbol_count, int current_symbol_row);
// "Quote %d of %d" (m - current row of m; row 0 is the newest, quote m), or "No Quotes Read".
QString quote_pane_text(int quote_count, int current_quote_row);
