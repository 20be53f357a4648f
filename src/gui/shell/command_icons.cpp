#include "gui/shell/command_icons.h"

#include <QApplication>

QIcon commandIcon(const QString& themeName, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(themeName, QApplication::style()->standardIcon(fallback));
}
