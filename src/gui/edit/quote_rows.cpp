#include "gui/edit/quote_rows.h"

#include "gui/edit/quotes_grid_model.h"

int ModelQuoteRows::rowCount() const { return m_model.rowCount(); }

QString ModelQuoteRows::text(int row, int column) const { return m_model.text(row, column); }
