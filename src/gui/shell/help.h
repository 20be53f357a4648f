// The user manual: HTML pages shown in the desktop's web browser.
//
// The manual is looked for, in this order, in the directory named by the environment variable
// DORVANE_HELP_DIR; in share/dorvane/help beside the executable's directory (an installed or
// unpacked copy); in the source tree's docs/help (DORVANE_HELP_SOURCE_DIR, defined by the
// build so a build-tree run finds it); in the install prefix (DORVANE_HELP_INSTALL_DIR); and
// last in docs/help one or two levels above the executable.
#pragma once

#include <QString>

class QWidget;

// The directory that holds the manual (the first of the above with an index.html), or empty.
QString helpDirectory();

// The page of a topic ("fixing-bad-master" gives fixing-bad-master.html); the contents page
// (index.html) for an empty or unknown topic. Empty when the manual can't be found.
QString helpPath(const QString& topic = {});

// Opens the topic's page in the desktop's browser, or says why it can't.
void showHelp(const QString& topic = {}, QWidget* parent = nullptr);
