// Names given to a dialog's widgets where they are made, so that tests and the screenshots
// find them by name.
#pragma once

#include <QString>

// Gives widget the object name and answers it, for use in a constructor's member list.
template <class Widget>
Widget* named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
