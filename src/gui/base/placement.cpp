#include "gui/base/placement.h"

#include <algorithm>

QRect restoredPlacement(int x, int y, int cx, int cy, QSize workArea, bool* useDefault) {
  const int w = workArea.width();
  const int h = workArea.height();
  const bool accepted =
      cx > 0 && cy > 0 && x >= 0 && y >= 0 && cx <= w && cy <= h && x <= w && y <= h;
  if (useDefault != nullptr) *useDefault = !accepted;
  if (accepted) return QRect(x, y, cx, cy);
  // A single-precision factor, truncated toward zero, as the stored values always were.
  const int defaultWidth = static_cast<int>(static_cast<float>(w) * 0.95f);
  const int defaultHeight = static_cast<int>(static_cast<float>(h) * 0.95f);
  return QRect((w - defaultWidth) / 2, (h - defaultHeight) / 2, defaultWidth, defaultHeight);
}

QPoint clampedSavePosition(QPoint position) {
  return QPoint(std::max(0, position.x()), std::max(0, position.y()));
}
