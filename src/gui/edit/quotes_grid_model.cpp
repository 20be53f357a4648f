#include "gui/edit/quotes_grid_model.h"

#include <algorithm>

#include "core/quote_texts.h"
#include "gui/browse/grid_columns.h"

CQuotesGridModel::CQuotesGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void CQuotesGridModel::clear() {
  beginResetModel();
  m_bars.clear();
  m_bars.shrink_to_fit();
  m_hasTime = false;
  endResetModel();
}

void CQuotesGridModel::setHasTime(bool hasTime) {
  if (hasTime == m_hasTime) return;
  if (hasTime) {
    beginInsertColumns({}, kTimeColumn, kTimeColumn);
    m_hasTime = true;
    endInsertColumns();
  } else {
    beginRemoveColumns({}, kTimeColumn, kTimeColumn);
    m_hasTime = false;
    endRemoveColumns();
  }
}

void CQuotesGridModel::reserve(int n) {
  // The count comes from a file header; a damaged one must not reserve absurd amounts.
  constexpr int kReserveCap = 1 << 16;
  if (n > 0) m_bars.reserve(static_cast<std::size_t>(std::min(n, kReserveCap)));
}

void CQuotesGridModel::appendNewestFirst(const qdb::QuoteSeries& chunk, int count) {
  count = std::min(count, static_cast<int>(chunk.count));
  if (count <= 0) return;
  const int first = rowCount();
  beginInsertRows({}, first, first + count - 1);
  for (int i = count - 1; i >= 0; --i) m_bars.push_back(chunk.bar(i));
  endInsertRows();
}

QString CQuotesGridModel::text(int row, int column) const {
  if (row < 0 || row >= rowCount()) return {};
  const qdb::QuoteBar& b = m_bars[static_cast<std::size_t>(row)];
  switch (column) {
    case 0:
      return QString::fromStdString(core::display_date_text(b.date));
    case 1:
      return QString::fromStdString(core::price_text(b.open));
    case 2:
      return QString::fromStdString(core::price_text(b.high));
    case 3:
      return QString::fromStdString(core::price_text(b.low));
    case 4:
      return QString::fromStdString(core::price_text(b.close));
    case 5:
      return QString::fromStdString(core::quantity_text(b.volume));
    case 6:
      return QString::fromStdString(core::quantity_text(b.oi));
    case kTimeColumn:
      return m_hasTime ? QString::fromStdString(core::time_text(b)) : QString();
    default:
      break;
  }
  return {};
}

int CQuotesGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_bars.size());
}

int CQuotesGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kQuoteColumns + (m_hasTime ? 1 : 0);
}

QVariant CQuotesGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return text(index.row(), index.column());
}

QVariant CQuotesGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < kQuoteColumns)
    return quote_column_titles().at(section);
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == kTimeColumn &&
      m_hasTime)
    return QStringLiteral("Time");
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return QAbstractTableModel::headerData(section, orientation, role);
}
