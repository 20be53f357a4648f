// The keys that open commands besides the menus: in the quotes grid Enter or a double-click
// edits the row, Insert adds a quote before it and Delete deletes it; in the symbols grid
// Delete deletes the symbol and F2 edits it; and Split and Adjust, whose menu texts share a
// mnemonic, get shortcuts of their own (shown in the menu). Each key triggers the menu's
// action, so the command's rule and its preparation apply as from the menu.
#pragma once

#include <QKeySequence>

class CMainFrame;

inline const QKeySequence kSplitShortcut{QStringLiteral("Ctrl+Shift+S")};
inline const QKeySequence kAdjustShortcut{QStringLiteral("Ctrl+Shift+A")};

void addCommandKeys(CMainFrame& frame);
