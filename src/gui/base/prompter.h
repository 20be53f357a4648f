// Every message box and modal dialog of the app goes through one Prompter, so tests can script
// the answers. The Qt implementation shows real message boxes with the given icon.
#pragma once

#include <QString>

class QDialog;
class QWidget;

class Prompter {
 public:
  enum class Icon { None, Information, Warning, Stop, Question };
  enum class Buttons { Ok, YesNo, OkCancel };
  enum class Answer { Ok, Cancel, Yes, No };

  virtual ~Prompter() = default;
  // Shows a message box with the exact text and returns the button pressed.
  virtual Answer message(QWidget* parent, const QString& text, Icon icon = Icon::None,
                         Buttons buttons = Buttons::Ok) = 0;
  // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
  virtual int exec(QDialog& dialog) = 0;
  // Sounds the system beep.
  virtual void beep() = 0;

  // The prompter in use; the Qt one unless a test installed another.
  static Prompter& instance();
  // Installs p (nullptr restores the Qt one). Returns the previous one.
  static Prompter* install(Prompter* p);
};
