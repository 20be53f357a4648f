#include "gui/edit/filtered_edit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

CFilteredEdit::CFilteredEdit(QWidget* parent) : QLineEdit(parent) {
  setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CFilteredEdit::adjustContextMenu(QMenu&) {}

void CFilteredEdit::pasteFrom(QClipboard::Mode mode) {
  if (isReadOnly()) return;
  const QString text = QGuiApplication::clipboard()->text(mode);
  if (!text.isEmpty()) pasteText(text);
}

QAction* CFilteredEdit::standardAction(const QMenu& menu, const char* name, const char* text) {
  const QString wanted = QLineEdit::tr(text);
  for (QAction* action : menu.actions()) {
    if (action->objectName() == QLatin1String(name) ||
        action->text().section(u'\t', 0, 0) == wanted)
      return action;
  }
  return nullptr;
}

void CFilteredEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  // The standard Paste would insert the clipboard unfiltered.
  if (QAction* paste = standardAction(*menu, "edit-paste", "&Paste")) {
    paste->disconnect(this);
    connect(paste, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
  }
  adjustContextMenu(*menu);
  menu->popup(event->globalPos());
}

void CFilteredEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
    deselect();
    pasteFrom(QClipboard::Selection);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void CFilteredEdit::dropEvent(QDropEvent* event) {
  if (isReadOnly() || !event->mimeData()->hasText()) {
    event->ignore();
    return;
  }
  const int before = cursorPosition();
  setCursorPosition(cursorPositionAt(event->position().toPoint()));
  if (pasteText(event->mimeData()->text())) {
    event->acceptProposedAction();
  } else {
    // Refused: the caret goes back and the source keeps its text.
    setCursorPosition(before);
    event->ignore();
  }
}
