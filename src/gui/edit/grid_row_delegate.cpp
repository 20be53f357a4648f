#include "gui/edit/grid_row_delegate.h"

#include <QPainter>

QColor CGridRowDelegate::lineColour() { return QColor(192, 192, 192); }

void CGridRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const QRect cell = option.rect;
  const bool selected = option.state.testFlag(QStyle::State_Selected);
  // The selected row keeps the active highlight even while its grid has no focus, so the
  // current symbol and quote stay visible.
  const QPalette& palette = option.palette;
  const QColor background = selected ? palette.color(QPalette::Active, QPalette::Highlight)
                                     : palette.color(QPalette::Base);
  const QColor textColour = selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                     : palette.color(QPalette::Text);

  painter->save();
  painter->fillRect(cell, background);

  const QRect textRect(cell.left() + kTextInset, cell.top(), cell.width() - 2 * kTextInset,
                       cell.height());
  if (textRect.width() > 0) {
    painter->setClipRect(textRect);
    painter->setFont(option.font);
    painter->setPen(textColour);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->setClipping(false);
  }

  // The row's bottom line and the cell's right line: the last pixel row, and one pixel in
  // from the cell's right edge.
  painter->setPen(QPen(lineColour(), 1));
  painter->drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
  painter->drawLine(cell.right() - 1, cell.bottom(), cell.right() - 1, cell.top());
  painter->restore();
}

QSize CGridRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  size.setHeight(option.fontMetrics.height() + 3);
  return size;
}
