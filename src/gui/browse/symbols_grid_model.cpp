#include "gui/browse/symbols_grid_model.h"

#include "gui/browse/grid_columns.h"

CSymbolsGridModel::CSymbolsGridModel(QObject* parent) : QAbstractTableModel(parent) {}

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
  if (row < 0 || row >= rowCount()) return {};
  const core::SymbolRow& r = m_rows[static_cast<std::size_t>(row)];
  // MASTER texts are single bytes; bytes of 0x80 and above show as Latin-1.
  return QString::fromLatin1(column == 0 ? r.symbol : r.name);
}

int CSymbolsGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CSymbolsGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kSymbolColumns;
}

QVariant CSymbolsGridModel::data(const QModelIndex& index, int role) const {
  // The name column's tip is the long name an EMASTER or XMASTER holds beyond 16 characters.
  if (role == Qt::ToolTipRole && index.isValid() && index.column() == 1 &&
      index.row() < rowCount()) {
    const std::string& long_name = m_rows[static_cast<std::size_t>(index.row())].long_name;
    if (!long_name.empty()) return QString::fromLatin1(long_name);
    return {};
  }
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return text(index.row(), index.column());
}

QVariant CSymbolsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kSymbolColumns)
    return symbol_column_titles().at(section);
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return QAbstractTableModel::headerData(section, orientation, role);
}
