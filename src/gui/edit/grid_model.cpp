#include "gui/edit/grid_model.h"

CGridModel::CGridModel(QStringList columnTitles, QObject* parent)
    : QAbstractTableModel(parent), m_titles(std::move(columnTitles)) {}

int CGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows(); }

int CGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_titles.size());
}

QVariant CGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return text(index.row(), index.column());
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
      section < m_titles.size())
    return m_titles.at(section);
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  return QAbstractTableModel::headerData(section, orientation, role);
}
