#include "gui/edit/quote_rows.h"

#include "gui/edit/quotes_grid_model.h"

int ModelQuoteRows::rowCount() const { return m_model.rowCount(); }

QString ModelQuoteRows::text(int row, int column) const { return m_model.text(row, column); }

bool ModelQuoteRows::hasTime() const { return m_model.hasTime(); }

QString ModelQuoteRows::timeText(int row) const {
  return m_model.hasTime() ? m_model.text(row, CQuotesGridModel::kTimeColumn) : QString();
}

std::int32_t ModelQuoteRows::seconds(int row) const {
  if (!m_model.hasTime() || row < 0 || row >= m_model.rows()) return -1;
  return qdb::bar_seconds(m_model.bar(row));
}

std::int32_t ModelQuoteRows::record(int row) const { return m_model.record(row); }
