#include "gui/edit/quotes_grid_model.h"

#include <algorithm>

#include "core/quote_texts.h"
#include "gui/edit/grid_columns.h"

CQuotesGridModel::CQuotesGridModel(QObject* parent) : CGridModel(quoteColumnTitles(), parent) {}

void CQuotesGridModel::clear() {
  beginResetModel();
  m_bars.clear();
  m_bars.shrink_to_fit();
  m_records.clear();
  m_records.shrink_to_fit();
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
  if (n > 0) {
    m_bars.reserve(static_cast<std::size_t>(std::min(n, kReserveCap)));
    m_records.reserve(static_cast<std::size_t>(std::min(n, kReserveCap)));
  }
}

void CQuotesGridModel::appendNewestFirst(const qdb::QuoteSeries& chunk, int count,
                                         std::int32_t firstRecord) {
  count = std::min(count, static_cast<int>(chunk.count));
  if (count <= 0) return;
  const int first = rows();
  beginInsertRows({}, first, first + count - 1);
  for (int i = count - 1; i >= 0; --i) {
    m_bars.push_back(chunk.bar(i));
    m_records.push_back(firstRecord >= 0 ? firstRecord + i : -1);
  }
  endInsertRows();
}

std::int32_t CQuotesGridModel::record(int row) const {
  if (row < 0 || row >= static_cast<int>(m_records.size())) return -1;
  return m_records[static_cast<std::size_t>(row)];
}

QString CQuotesGridModel::text(int row, int column) const {
  if (row < 0 || row >= rows() || column < 0) return {};
  const qdb::QuoteBar& bar = m_bars[static_cast<std::size_t>(row)];
  if (column == kTimeColumn)
    return m_hasTime ? QString::fromStdString(core::time_text(bar)) : QString();
  if (column >= kQuoteColumns) return {};
  const std::array<std::string, 7> cells = core::quote_cell_texts(bar);
  return QString::fromStdString(cells[static_cast<std::size_t>(column)]);
}

int CQuotesGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kQuoteColumns + (m_hasTime ? 1 : 0);
}

QVariant CQuotesGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == kTimeColumn &&
      m_hasTime)
    return QStringLiteral("Time");
  return CGridModel::headerData(section, orientation, role);
}

int CQuotesGridModel::rowOnOrBefore(qdb::DateSerial date) const {
  // One pass that needs no order: a damaged file's dates need not fall row by row.
  int best = -1;
  for (std::size_t i = 0; i < m_bars.size(); ++i) {
    const qdb::DateSerial d = m_bars[i].date;
    if (d <= date && (best < 0 || d > m_bars[static_cast<std::size_t>(best)].date))
      best = static_cast<int>(i);
  }
  return best;
}
