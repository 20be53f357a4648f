// Draws the cells of both grids: the window colour (highlight colours on the selected row),
// light-grey lines at each row's bottom and each cell's right edge, and the text left-aligned
// two pixels in from the cell's left edge, clipped two pixels before its right edge.
#pragma once

#include <QStyledItemDelegate>

class CGridRowDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  static QColor lineColour();  // red, green and blue 192
  static constexpr int kTextInset = 2;
};
