// The base of the quote dialogs' filtered text fields: typed keys are filtered by each kind of
// field, and every other road by which text gets in (the paste key, the context menu's Paste,
// the middle button's selection paste, a drop) comes to one pasteText() that filters it the
// same way. Input methods are off: the fields take digits and a few marks only.
#pragma once

#include <QClipboard>
#include <QLineEdit>

class QAction;
class QMenu;

class CFilteredEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit CFilteredEdit(QWidget* parent = nullptr);

 protected:
  // Inserts text as if it had been typed, or refuses it with a beep (answering false).
  virtual bool pasteText(const QString& text) = 0;
  // Lets a field disable context-menu actions that would break its text.
  virtual void adjustContextMenu(QMenu& menu);
  // Pastes the clipboard (or the selection) through pasteText.
  void pasteFrom(QClipboard::Mode mode);
  // The action of the standard context menu named name ("edit-paste") whose text (less its
  // shortcut) is QLineEdit's translation of text ("&Paste"); null when there is none.
  static QAction* standardAction(const QMenu& menu, const char* name, const char* text);

  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};
