#include "gui/shell/status_panes.h"

QString symbol_pane_text(int symbol_count, int current_symbol_row) {
  if (symbol_count <= 0) return QStringLiteral("No Symbols Read");
  return QStringLiteral("Symbol %1 of %2").arg(current_symbol_row + 1).arg(symbol_count);
}

QString quote_pane_text(int quote_count, int current_quote_row) {
  if (quote_count <= 0) return QStringLiteral("No Quotes Read");
  return QStringLiteral("Quote %1 of %2").arg(quote_count - current_quote_row).arg(quote_count);
}
