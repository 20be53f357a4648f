#include "gui/edit/date_edit.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <utility>

#include "gui/base/prompter.h"

namespace {

constexpr int kDateLength = 8;

bool is_digit(QChar c) { return c >= u'0' && c <= u'9'; }

// A whole date text: digits with "/" at positions 2 and 5.
bool is_mask_text(const QString& text) {
  if (text.size() != kDateLength) return false;
  for (int i = 0; i < kDateLength; ++i) {
    const bool separator = i == 2 || i == 5;
    if (separator ? text[i] != u'/' : !is_digit(text[i])) return false;
  }
  return true;
}

struct Step {
  int position;   // where the digit goes, -1 for nowhere
  int nextStart;  // the selection afterwards
  int nextEnd;
};

// Where a digit typed over the selection (start, end) goes, and what is selected after it.
Step step_for(int start, int end) {
  if (start == 0 && (end == 0 || end == 1 || end == 2 || end == 8)) return {0, 1, 2};
  if (start == 1 && end == 2) return {1, 3, 5};
  if ((start == 3 && end == 5) || (start == 4 && end == 4)) return {3, 4, 5};
  if (start == 4 && end == 5) return {4, 6, 8};
  if (start == 6 && (end == 7 || end == 8)) return {6, 7, 8};
  if (start == 7 && end == 8) return {7, 0, 2};
  if (start == 4) return {-1, 3, 5};
  if (start == 7) return {-1, 6, 8};
  return {-1, 0, 2};
}

}  // namespace

CDateEdit::CDateEdit(QWidget* parent) : CFilteredEdit(parent), m_copy(QStringLiteral("  /  /  ")) {
  setMaxLength(kDateLength);
  setAcceptDrops(false);
  setText(m_copy);
}

void CDateEdit::setDate(const QString& text) {
  m_copy = text;
  setText(m_copy);
}

void CDateEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      // Left to the dialog: focus change, default button, Cancel.
      CFilteredEdit::keyPressEvent(event);
      return;
    default:
      break;
  }
  event->accept();
  if (event->matches(QKeySequence::Paste)) {
    pasteFrom(QClipboard::Clipboard);
    return;
  }
  if (event->matches(QKeySequence::Copy)) {
    copy();
    return;
  }
  const QString text = event->text();
  const bool control =
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  if (!control && text.size() == 1 && is_digit(text[0])) {
    typeDigit(text[0]);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
      return;  // the editing keys do nothing
    default:
      break;
  }
  // Any other character (Backspace and "/" included) is refused; a key without one (a
  // function key) is left to the dialog.
  if (!text.isEmpty())
    Prompter::instance().beep();
  else
    event->ignore();
}

bool CDateEdit::pasteText(const QString& text) {
  if (is_mask_text(text)) {
    setDate(text);
    select(0, 2);
    return true;
  }
  for (const QChar c : text) {
    if (!is_digit(c)) {
      Prompter::instance().beep();
      return false;
    }
  }
  for (const QChar c : text) typeDigit(c);
  return true;
}

void CDateEdit::adjustContextMenu(QMenu& menu) {
  // Only typed digits change the text: no cut, delete, undo or redo.
  const std::pair<const char*, const char*> actions[] = {{"edit-cut", "Cu&t"},
                                                         {"edit-delete", "Delete"},
                                                         {"edit-undo", "&Undo"},
                                                         {"edit-redo", "&Redo"}};
  for (const auto& [name, text] : actions) {
    if (QAction* action = standardAction(menu, name, text)) action->setEnabled(false);
  }
}

void CDateEdit::typeDigit(QChar digit) {
  int start = cursorPosition();
  int end = start;
  if (hasSelectedText()) {
    start = selectionStart();
    end = selectionEnd();
  }
  const Step step = step_for(start, end);
  if (step.position < 0 || step.position >= m_copy.size()) {
    select(step.nextStart, step.nextEnd);
    Prompter::instance().beep();
    return;
  }
  m_copy[step.position] = digit;
  setText(m_copy);
  select(step.nextStart, step.nextEnd);
}

void CDateEdit::select(int start, int end) {
  if (end == start)
    setCursorPosition(start);
  else
    setSelection(start, end - start);
}
