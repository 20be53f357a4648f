#include "gui/edit/grid_view.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "gui/edit/grid_row_delegate.h"

CGridView::CGridView(QWidget* parent) : QTableView(parent), m_delegate(new CGridRowDelegate(this)) {
  setItemDelegate(m_delegate);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
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

QString CGridView::selectedRowsText() const {
  if (!model() || !selectionModel()) return {};
  QModelIndexList selected = selectionModel()->selectedRows();
  if (selected.isEmpty()) return {};
  std::sort(selected.begin(), selected.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  const QHeaderView* header = horizontalHeader();
  QList<int> columns;
  for (int visual = 0; visual < header->count(); ++visual) {
    const int column = header->logicalIndex(visual);
    if (!header->isSectionHidden(column)) columns << column;
  }
  QStringList cells;
  for (const int column : columns)
    cells << model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
  QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  for (const QModelIndex& row : selected) {
    cells.clear();
    for (const int column : columns)
      cells << model()->index(row.row(), column).data(Qt::DisplayRole).toString().trimmed();
    text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
  }
  return text;
}

void CGridView::copySelectedRows() const {
  const QString text = selectedRowsText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void CGridView::setSortable(bool sortable) {
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(sortable);
  header->setSortIndicatorShown(sortable);
  if (!sortable) return;
  connect(header, &QHeaderView::sortIndicatorChanged, this,
          [this](int column, Qt::SortOrder order) {
            emit sortRequested(column, order == Qt::DescendingOrder);
          });
}

void CGridView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    copySelectedRows();
    event->accept();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      currentIndex().isValid()) {
    emit enterPressed(currentIndex().row());
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

QModelIndex CGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  // Only the move takes Ctrl: the selection follows the keys as pressed, so Home selects the
  // first row alone and Shift+Home the rows up to it.
  if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
  return QTableView::moveCursor(action, modifiers);
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
