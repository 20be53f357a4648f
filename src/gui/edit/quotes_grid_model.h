// The quotes grid's rows, newest first: one decoded quote per row, its seven cell texts made
// when a cell is shown, so a full 16-bit series loads at once.
#pragma once

#include <vector>

#include "gui/edit/grid_model.h"
#include "qdb/series.h"

class CQuotesGridModel : public CGridModel {
  Q_OBJECT
 public:
  explicit CQuotesGridModel(QObject* parent = nullptr);

  void clear();
  // Room for n rows, so a load reserves once.
  void reserve(int n);
  // Appends the first count quotes of chunk taken from its last (newest) to its first.
  void appendNewestFirst(const qdb::QuoteSeries& chunk, int count);
  const qdb::QuoteBar& bar(int row) const { return m_bars[static_cast<std::size_t>(row)]; }
  // Cell text as core::quote_cell_texts makes it.
  QString text(int row, int column) const override;
  int rows() const override { return static_cast<int>(m_bars.size()); }

 private:
  std::vector<qdb::QuoteBar> m_bars;
};
