// A masked date field holding exactly MM/DD/YY. The user overtypes its six digits in turn:
// month, day, year, then the month again. It keeps its own copy of the text, changed only by
// typed digits (or a paste of digits, taken as typed), and shows the copy after each change.
// Editing keys are swallowed, every other typed character is refused with a beep, and the
// separators can never be overtyped. The digits are not checked to form a calendar date.
#pragma once

#include "gui/edit/filtered_edit.h"

class CDateEdit : public CFilteredEdit {
  Q_OBJECT
 public:
  explicit CDateEdit(QWidget* parent = nullptr);

  // Sets the field and its copy to a date text of the shape MM/DD/YY.
  void setDate(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool pasteText(const QString& text) override;
  void adjustContextMenu(QMenu& menu) override;

 private:
  // Stores one digit where the current selection says, and selects the next part.
  void typeDigit(QChar digit);
  void select(int start, int end);

  QString m_copy;
};
