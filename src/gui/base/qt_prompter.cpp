#include "gui/base/qt_prompter.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
  switch (icon) {
    case Prompter::Icon::Information:
      return QMessageBox::Information;
    case Prompter::Icon::Warning:
      return QMessageBox::Warning;
    case Prompter::Icon::Stop:
      return QMessageBox::Critical;
    case Prompter::Icon::Question:
      return QMessageBox::Question;
    case Prompter::Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Prompter::Buttons buttons) {
  switch (buttons) {
    case Prompter::Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Prompter::Buttons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompter::Buttons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

// A question asked during long work shows the ordinary arrow, not the wait cursor.
class ArrowCursor {
 public:
  ArrowCursor() { QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
  ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
  ArrowCursor(const ArrowCursor&) = delete;
  ArrowCursor& operator=(const ArrowCursor&) = delete;
};

}  // namespace

Prompter::Answer QtPrompter::message(QWidget* parent, const QString& text, Icon icon,
                                     Buttons buttons) {
  QMessageBox box(boxIcon(icon), QApplication::applicationDisplayName(), text, boxButtons(buttons),
                  parent);
  box.setTextFormat(Qt::PlainText);
  const ArrowCursor arrow;
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Ok:
      return Answer::Ok;
    default:
      break;
  }
  // Escape or the close button: No for a Yes/No question, Cancel otherwise.
  return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

int QtPrompter::exec(QDialog& dialog) {
  const ArrowCursor arrow;
  return dialog.exec();
}

void QtPrompter::beep() { QApplication::beep(); }
