#include "gui/base/title_width.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QWidget>

int titleWidth(const QWidget& window) {
  // Window managers commonly draw titles in bold, beside an icon and three buttons.
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const QFontMetrics metrics(font);
  return metrics.horizontalAdvance(window.windowTitle()) + 4 * metrics.averageCharWidth() +
         6 * metrics.height();
}

void keepTitleVisible(QWidget& window) {
  const int width = titleWidth(window);
  QLayout* layout = window.layout();
  if (layout != nullptr && layout->sizeConstraint() == QLayout::SetFixedSize) {
    // A layout of fixed size would shrink the window back to its fields: fix it wider.
    const QSize hint = layout->totalSizeHint();
    if (hint.width() >= width) return;
    layout->setSizeConstraint(QLayout::SetDefaultConstraint);
    window.setFixedSize(width, hint.height());
    return;
  }
  if (window.minimumWidth() < width) window.setMinimumWidth(width);
}
