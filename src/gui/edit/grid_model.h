// What both grids' models share: fixed column titles, left-aligned headers, and display texts
// that a subclass makes per cell. No item object per row.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class CGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  CGridModel(QStringList columnTitles, QObject* parent = nullptr);

  // The text of a cell; empty outside the rows and columns.
  virtual QString text(int row, int column) const = 0;
  // The number of rows held.
  virtual int rows() const = 0;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QStringList m_titles;
};
