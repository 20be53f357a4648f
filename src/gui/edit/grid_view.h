// A report grid as both grids use it: whole-row selection, headers that sort only when asked,
// no editing, rows drawn by CGridRowDelegate, a dotted focus rectangle around the focused row,
// the last column stretched to the grid's right edge, and Home and End moving to the first
// and last row. Shift and Ctrl select several rows, which Ctrl+C copies; the commands act on
// the current row alone.
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
  // The selected rows as tab-separated text, for a spreadsheet: a line of the column titles,
  // then one line per row in the grid's order, the columns as shown (hidden ones left out),
  // each cell without the blanks that pad it, each line ended by a newline. Empty when no row
  // is selected.
  QString selectedRowsText() const;
  // Puts selectedRowsText() on the clipboard (Ctrl+C).
  void copySelectedRows() const;
  // Lets a click on a column title sort by that column (a second click reverses the order),
  // with the order shown on the title. The model does the sorting (sortRequested).
  void setSortable(bool sortable);

 signals:
  // Enter or Return pressed while a row is current.
  void enterPressed(int row);
  // A column title was clicked on a sortable grid: sort by column, descending or not.
  void sortRequested(int column, bool descending);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // Home and End go to the first and last row, as Ctrl+Home and Ctrl+End do: a row-selecting
  // grid has no first or last column to go to.
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  CGridRowDelegate* m_delegate;
};
