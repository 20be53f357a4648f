// How a scan root is written in the root list, in the "Drive" setting and in messages. On
// Windows a root is a drive ("C:\"): the list shows "[-c-]" and the setting and messages hold
// the letter. Elsewhere all three are the root's path itself.
#pragma once

#include <QString>

// The entry of the root list: "[-c-]" on Windows, else the path.
QString root_entry_text(const QString& root);
// What the "Drive" setting and the messages hold: the upper-case letter on Windows, else the
// path.
QString root_setting_text(const QString& root);
// True when the stored "Drive" setting names root.
bool root_matches_setting(const QString& root, const QString& setting);
