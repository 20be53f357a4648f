// A number field: digits, the decimal point and control keys get through; every other typed
// or pasted character is refused with a beep. Several points may be typed: the reading of the
// text takes the longest leading decimal number. Keys pressed with Alt or Ctrl are commands
// and never put their letter into the field.
#pragma once

#include "gui/edit/filtered_edit.h"

class CNumberEdit : public CFilteredEdit {
  Q_OBJECT
 public:
  explicit CNumberEdit(QWidget* parent = nullptr);

  // Whether every character of text may stand in a number field.
  static bool acceptsText(const QString& text);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool pasteText(const QString& text) override;
};
