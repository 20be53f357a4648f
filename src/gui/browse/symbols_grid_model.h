// The symbols grid's rows: one per MASTER entry listed, kept in the grid's ascending order of
// the column 0 text. Plain data, no item object per row.
#pragma once

#include <vector>

#include <QAbstractTableModel>

#include "core/symbol_rows.h"

class CSymbolsGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CSymbolsGridModel(QObject* parent = nullptr);

  // Replaces every row with rows, sorted in the grid's order.
  void setRows(std::vector<core::SymbolRow> rows);
  void clear();
  const core::SymbolRow& row(int index) const { return m_rows[static_cast<std::size_t>(index)]; }
  // Column 0 (symbol) or column 1 (name) text of a row.
  QString text(int row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<core::SymbolRow> m_rows;
};
