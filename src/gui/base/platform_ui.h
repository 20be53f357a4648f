// The desktop application's few host differences, in one place: how a scan root is written
// in the root list, the "Drive" setting and messages; which filter paths name a listed root;
// how paths are joined and cut; the home directory; and whether a display can be reached.
// platform_ui_posix.cpp and platform_ui_windows.cpp implement it.
#pragma once

#include <QString>
#include <QStringList>

// The root list's entry for root: "[-c-]" on Windows, else the root's path.
QString rootEntryText(const QString& root);
// What the "Drive" setting and the messages hold: the upper-case drive letter on Windows,
// else the root's path.
QString rootSettingText(const QString& root);
// True when the stored "Drive" setting names root.
bool rootMatchesSetting(const QString& root, const QString& setting);

// True when path names one of the listed roots (entries as rootEntryText writes them): on
// Windows "X:" with an entry "[-x-]"; elsewhere an absolute path under one of the roots. Only
// the text is examined; the directory need not exist.
bool pathIsOnListedRoot(const QString& path, const QStringList& rootEntries);

// directory + the separator + name (no doubled separator after a root).
QString joinPath(const QString& directory, const QString& name);
// The path less its last component ("/" for an entry of the root directory); empty when the
// path has no separator.
QString parentPath(const QString& path);
// A leading "~" (alone or before a separator) replaced by the user's home directory.
QString expandHome(const QString& path);

// False only where a window system is reached through the environment (X11 or Wayland) and
// neither DISPLAY nor WAYLAND_DISPLAY is set, unless QT_QPA_PLATFORM chose a platform.
bool hasDisplay();
