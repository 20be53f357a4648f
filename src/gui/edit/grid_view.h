// A report grid as both grids use it: whole-row single selection, headers that do not sort,
// no editing, rows drawn by CGridRowDelegate, a dotted focus rectangle around the focused row,
// the last column stretched to the grid's right edge, and Home and End moving to the first
// and last row.
#pragma once

#include <QTableView>

class CGridRowDelegate;

class CGridView : public QTableView {
  Q_OBJECT
 public:
  explicit CGridView(QWidget* parent = nullptr);

  // Width of the area the rows are drawn in (the grid's client width).
  int clientWidth() const;
  // The selected row, or -1.
  int selectedRow() const;

 signals:
  // Enter or Return pressed while a row is current.
  void enterPressed(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  CGridRowDelegate* m_delegate;
};
