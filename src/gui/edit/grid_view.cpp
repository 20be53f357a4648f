#include "gui/edit/grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "gui/edit/grid_row_delegate.h"

CGridView::CGridView(QWidget* parent) : QTableView(parent), m_delegate(new CGridRowDelegate(this)) {
  setItemDelegate(m_delegate);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
  horizontalHeader()->setSectionsClickable(false);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSortIndicatorShown(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setSectionsMovable(false);
}

int CGridView::clientWidth() const { return viewport()->width(); }

int CGridView::selectedRow() const {
  if (!selectionModel()) return -1;
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CGridView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      currentIndex().isValid()) {
    emit enterPressed(currentIndex().row());
    event->accept();
    return;
  }
  // Home and End go to the first and last row, as Ctrl+Home and Ctrl+End do: a row-selecting
  // grid has no first or last column to go to.
  if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) &&
      !event->modifiers().testFlag(Qt::ControlModifier)) {
    QKeyEvent rowKey(event->type(), event->key(), event->modifiers() | Qt::ControlModifier,
                     event->text(), event->isAutoRepeat(), static_cast<ushort>(event->count()));
    QTableView::keyPressEvent(&rowKey);
    event->setAccepted(rowKey.isAccepted());
    return;
  }
  QTableView::keyPressEvent(event);
}

void CGridView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  // The focused row gets a dotted rectangle around the whole row, as a list view draws it.
  const QModelIndex current = currentIndex();
  if (!hasFocus() || !current.isValid() || !model()) return;
  const QRect first = visualRect(model()->index(current.row(), 0));
  const QRect last = visualRect(model()->index(current.row(), model()->columnCount() - 1));
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = first.united(last);
  option.backgroundColor = palette().color(QPalette::Base);
  QPainter painter(viewport());
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
