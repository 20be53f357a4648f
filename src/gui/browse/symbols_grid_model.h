// The symbols grid's rows: one per MASTER (then XMASTER) entry listed, kept in the grid's order:
// the symbol (column 0) or the name (column 1) text, ascending or descending, byte by byte.
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
  // Sorts the rows by column (0 or 1), descending or not; the views' selection and current row
  // stay on their entries. Equal texts keep the order of the symbol texts.
  void sortRows(int column, bool descending);
  int sortColumn() const { return m_sortColumn; }
  bool sortDescending() const { return m_descending; }
  // The row of the entry with fileNumber and symbol (bytes as the MASTER holds them), or -1.
  int rowOf(int fileNumber, const std::string& symbol) const;
  void clear();
  // Shows new texts in one row where it stands (the order is not remade until the next fill).
  void setRowTexts(int row, std::string symbol, std::string name);
  const core::SymbolRow& row(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
  // Column 0 (symbol) or column 1 (name) text of a row.
  QString text(int row, int column) const override;
  int rows() const override { return static_cast<int>(m_rows.size()); }
  // The grid's texts, and the long name as the name column's tip.
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  // The positions of rows in the grid's order.
  std::vector<std::size_t> order(const std::vector<core::SymbolRow>& rows) const;

  std::vector<core::SymbolRow> m_rows;
  int m_sortColumn = 0;
  bool m_descending = false;
};
