// The main window's remembered placement: what start-up restores from the "Screen" settings
// and what a move or resize stores.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The rectangle to open the main window with, from the stored x, y, cx, cy and the desktop
// work area's size. The stored rectangle is used when it is non-empty, starts at or right of
// and below the work area's origin, and neither its size nor its origin exceeds the work
// area. Otherwise (a first run, a smaller screen since) the window takes 95 % of the work area
// in each direction, centred, and *useDefault (may be null) is set so the caller stores it.
QRect restoredPlacement(int x, int y, int cx, int cy, QSize workArea, bool* useDefault = nullptr);

// The position a move or resize stores: negative coordinates are raised to 0.
QPoint clampedSavePosition(QPoint position);
