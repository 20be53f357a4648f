#include "gui/shell/status_panes.h"

QString formatSymbolPane(int symbolCount, int currentSymbolRow) {
  if (symbolCount <= 0) return QStringLiteral("No Symbols Read");
  return QStringLiteral("Symbol %1 of %2").arg(currentSymbolRow + 1).arg(symbolCount);
}

QString formatQuotePane(int quoteCount, int currentQuoteRow) {
  if (quoteCount <= 0) return QStringLiteral("No Quotes Read");
  return QStringLiteral("Quote %1 of %2").arg(quoteCount - currentQuoteRow).arg(quoteCount);
}
