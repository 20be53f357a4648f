// The symbols grid's rows: one per MASTER (then XMASTER) entry listed, kept in the grid's ascending
// order of the column 0 text.
#pragma once

#include <vector>

#include "core/symbol_rows.h"
#include "gui/edit/grid_model.h"

class CSymbolsGridModel : public CGridModel {
  Q_OBJECT
 public:
  explicit CSymbolsGridModel(QObject* parent = nullptr);

  // Replaces every row with rows, sorted in the grid's order.
  void setRows(std::vector<core::SymbolRow> rows);
  void clear();
  const core::SymbolRow& row(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
  // Column 0 (symbol) or column 1 (name) text of a row.
  QString text(int row, int column) const override;
  int rows() const override { return static_cast<int>(m_rows.size()); }
  // The grid's texts, and the long name as the name column's tip.
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<core::SymbolRow> m_rows;
};
