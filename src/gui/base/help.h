// The user manual: HTML pages shown in the application's own help window.
//
// The manual is looked for in the directory named by the environment variable
// DORVANE_HELP_DIR, then beside the program: the install layout's help directory relative to
// the program's directory (share/dorvane/help next to bin/), which the build tree mirrors.
#pragma once

#include <QString>

class QWidget;

// The directory that holds the manual (the first of the above with an index.html), or empty.
QString helpDirectory();

// The page of a topic ("fixing-bad-master" gives fixing-bad-master.html); the contents page
// (index.html) for an empty or unknown topic. Empty when the manual can't be found.
QString helpPath(const QString& topic = {});

// Opens the topic's page in the help window of parent's window (one per window, so it stays
// usable beside a modal dialog), or says that the manual can't be found.
void showHelp(const QString& topic = {}, QWidget* parent = nullptr);

// Makes F1 in window open topic.
void addHelpKey(QWidget* window, const QString& topic);
