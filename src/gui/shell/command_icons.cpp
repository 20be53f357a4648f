#include "gui/shell/command_icons.h"

#include <QApplication>

QIcon command_icon(const QString& theme_name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(theme_name, QApplication::style()->standardIcon(fallback));
}
