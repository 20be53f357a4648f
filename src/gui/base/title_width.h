// The width a window needs so that the window manager shows its whole title beside its
// buttons.
#pragma once

class QWidget;

// The title's text width in the title-bar font, plus room for the window manager's buttons
// and frame.
int titleWidth(const QWidget& window);
// Widens window's minimum width to titleWidth when it is narrower.
void keepTitleVisible(QWidget& window);
