// The command line of `dorvane`: [DIR] [--screenshot FILE] [--help] [--version].
#pragma once

#include <QString>
#include <QStringList>

struct StartArguments {
  enum class Action { Run, ShowHelp, ShowVersion, Refuse };
  Action action = Action::Run;
  QString root;        // the absolute, normalised DIR; empty when none was given
  QString screenshot;  // FILE of --screenshot; empty when absent
  QString error;       // why the arguments are refused ("dorvane: ...")
};

// The usage text.
QString startUsage();

// Reads the arguments (without the program's name). DIR must be an existing directory; an
// unknown option, a second DIR, a file or a missing directory refuse the start.
StartArguments parseStartArguments(QStringList arguments);
