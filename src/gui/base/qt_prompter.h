// The prompter of the running app: real message boxes, real modal dialogs, the system beep.
#pragma once

#include "gui/base/prompter.h"

class QtPrompter : public Prompter {
 public:
  Answer message(QWidget* parent, const QString& text, Icon icon, Buttons buttons) override;
  int exec(QDialog& dialog) override;
  void beep() override;
};
