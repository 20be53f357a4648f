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

  // The Time column, after the seven quote columns, shown only for a series with times.
  static constexpr int kTimeColumn = 7;

  // Drops every row and the Time column.
  void clear();
  // Shows the Time column (HH:MM:SS) or not; the rows stay.
  void setHasTime(bool hasTime);
  bool hasTime() const { return m_hasTime; }
  // Room for n rows, so a load reserves once.
  void reserve(int n);
  // Appends the first count quotes of chunk taken from its last (newest) to its first;
  // firstRecord is the position in the file of the chunk's first quote (-1 unknown).
  void appendNewestFirst(const qdb::QuoteSeries& chunk, int count, std::int32_t firstRecord = -1);
  const qdb::QuoteBar& bar(int row) const { return m_bars[static_cast<std::size_t>(row)]; }
  // Position in the file (0 the oldest) of row's quote, -1 when unknown: a command on an
  // intraday series addresses the one record of the row by it.
  std::int32_t record(int row) const;
  // The first row (the newest) holding date, else the first holding the latest date before it;
  // -1 when every quote is later.
  int rowOnOrBefore(qdb::DateSerial date) const;
  // Cell text as core::quote_cell_texts makes it; the Time column HH:MM:SS.
  QString text(int row, int column) const override;
  int rows() const override { return static_cast<int>(m_bars.size()); }
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<qdb::QuoteBar> m_bars;
  std::vector<std::int32_t> m_records;  // beside m_bars
  bool m_hasTime = false;
};
