#include "gui/edit/number_edit.h"

#include <QKeyEvent>

#include "gui/base/prompter.h"

CNumberEdit::CNumberEdit(QWidget* parent) : CFilteredEdit(parent) {}

bool CNumberEdit::acceptsText(const QString& text) {
  for (const QChar c : text) {
    if (c != u'.' && (c < u'0' || c > u'9')) return false;
  }
  return true;
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    pasteFrom(QClipboard::Clipboard);
    event->accept();
    return;
  }
  // Control characters (Backspace, Tab, Enter, Ctrl combinations) and keys without text
  // (cursor keys, Home, End, Delete) go to the field's normal processing.
  const QString text = event->text();
  const bool control =
      (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
  const bool typed = !text.isEmpty() && text[0].unicode() >= 32 && text[0].unicode() != 127;
  if (typed && control) {
    // A key with Alt or Ctrl is a command (a dialog's mnemonic, a field's own shortcut such as
    // Ctrl+A), never text: the field sees it without its text, and what it doesn't take goes on
    // to the dialog.
    QKeyEvent command(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                      event->nativeVirtualKey(), event->nativeModifiers(), QString(),
                      event->isAutoRepeat(), static_cast<quint16>(event->count()));
    CFilteredEdit::keyPressEvent(&command);
    event->setAccepted(command.isAccepted());
    return;
  }
  if (typed && !acceptsText(text)) {
    Prompter::instance().beep();
    event->accept();
    return;
  }
  CFilteredEdit::keyPressEvent(event);
}

bool CNumberEdit::pasteText(const QString& text) {
  if (!acceptsText(text)) {
    Prompter::instance().beep();
    return false;
  }
  insert(text);
  return true;
}
