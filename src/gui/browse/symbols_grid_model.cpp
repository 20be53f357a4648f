#include "gui/browse/symbols_grid_model.h"

#include <algorithm>
#include <numeric>

#include "gui/base/name_text.h"
#include "gui/edit/grid_columns.h"

CSymbolsGridModel::CSymbolsGridModel(QObject* parent) : CGridModel(symbolColumnTitles(), parent) {}

namespace {

// Byte by byte: bytes of 0x80 and above sort after ASCII whatever the sign of char.
bool bytesLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

}  // namespace

void CSymbolsGridModel::setRows(std::vector<core::SymbolRow> rows) {
  beginResetModel();
  const std::vector<std::size_t> places = order(rows);
  m_rows.clear();
  m_rows.reserve(rows.size());
  for (const std::size_t place : places) m_rows.push_back(std::move(rows[place]));
  endResetModel();
}

std::vector<std::size_t> CSymbolsGridModel::order(const std::vector<core::SymbolRow>& rows) const {
  std::vector<std::size_t> places(rows.size());
  std::iota(places.begin(), places.end(), std::size_t{0});
  // The symbol order first (stable, as the listing's), so it settles equal names.
  std::stable_sort(places.begin(), places.end(), [&rows](std::size_t a, std::size_t b) {
    return core::symbol_row_less(rows[a], rows[b]);
  });
  if (m_sortColumn == 1)
    std::stable_sort(places.begin(), places.end(), [&rows](std::size_t a, std::size_t b) {
      return bytesLess(rows[a].name, rows[b].name);
    });
  if (m_descending) std::reverse(places.begin(), places.end());
  return places;
}

void CSymbolsGridModel::sortRows(int column, bool descending) {
  column = column == 1 ? 1 : 0;
  if (column == m_sortColumn && descending == m_descending) return;
  m_sortColumn = column;
  m_descending = descending;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const std::vector<std::size_t> places = order(m_rows);
  std::vector<int> newPlace(places.size());
  std::vector<core::SymbolRow> sorted;
  sorted.reserve(places.size());
  for (std::size_t i = 0; i < places.size(); ++i) {
    newPlace[places[i]] = static_cast<int>(i);
    sorted.push_back(std::move(m_rows[places[i]]));
  }
  m_rows = std::move(sorted);
  // The views' persistent indexes (selection, current row) follow their entries.
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from)
    to << (index.row() >= 0 && index.row() < rows()
               ? this->index(newPlace[static_cast<std::size_t>(index.row())], index.column())
               : QModelIndex());
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int CSymbolsGridModel::rowOf(int fileNumber, const std::string& symbol) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (m_rows[i].file_number == fileNumber && m_rows[i].symbol == symbol)
      return static_cast<int>(i);
  return -1;
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
