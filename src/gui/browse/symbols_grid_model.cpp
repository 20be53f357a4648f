#include "gui/browse/symbols_grid_model.h"

#include "gui/base/name_text.h"
#include "gui/edit/grid_columns.h"

CSymbolsGridModel::CSymbolsGridModel(QObject* parent) : CGridModel(symbolColumnTitles(), parent) {}

void CSymbolsGridModel::setRows(std::vector<core::SymbolRow> rows) {
  beginResetModel();
  m_rows = core::sorted_rows(std::move(rows));
  endResetModel();
}

void CSymbolsGridModel::clear() {
  if (m_rows.empty()) return;
  beginResetModel();
  m_rows.clear();
  endResetModel();
}

void CSymbolsGridModel::setRowTexts(int row, std::string symbol, std::string name) {
  if (row < 0 || row >= rows()) return;
  core::SymbolRow& r = m_rows[static_cast<std::size_t>(row)];
  r.symbol = std::move(symbol);
  r.name = std::move(name);
  emit dataChanged(index(row, 0), index(row, 1));
}

QString CSymbolsGridModel::text(int row, int column) const {
  if (row < 0 || row >= rows() || column < 0 || column > 1) return {};
  const core::SymbolRow& r = m_rows[static_cast<std::size_t>(row)];
  // MASTER texts are single bytes, shown in the code page of the portfolio's names.
  return masterText(column == 0 ? r.symbol : r.name);
}

QVariant CSymbolsGridModel::data(const QModelIndex& index, int role) const {
  // The name column's tip is the long name an EMASTER or XMASTER holds beyond 16 characters.
  if (role == Qt::ToolTipRole) {
    if (!index.isValid() || index.column() != 1 || index.row() >= rows()) return {};
    const std::string& long_name = m_rows[static_cast<std::size_t>(index.row())].long_name;
    return long_name.empty() ? QVariant() : QVariant(masterText(long_name));
  }
  return CGridModel::data(index, role);
}
