#include "gui/browse/symbols_grid_model.h"

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

QString CSymbolsGridModel::text(int row, int column) const {
  if (row < 0 || row >= rows() || column < 0 || column > 1) return {};
  const core::SymbolRow& r = m_rows[static_cast<std::size_t>(row)];
  // MASTER texts are single bytes; bytes of 0x80 and above show as Latin-1.
  return QString::fromLatin1(column == 0 ? r.symbol : r.name);
}

QVariant CSymbolsGridModel::data(const QModelIndex& index, int role) const {
  // The name column's tip is the long name an EMASTER or XMASTER holds beyond 16 characters.
  if (role == Qt::ToolTipRole) {
    if (!index.isValid() || index.column() != 1 || index.row() >= rows()) return {};
    const std::string& long_name = m_rows[static_cast<std::size_t>(index.row())].long_name;
    return long_name.empty() ? QVariant() : QVariant(QString::fromLatin1(long_name));
  }
  return CGridModel::data(index, role);
}
