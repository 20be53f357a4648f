#include "gui/shell/start_arguments.h"

#include <QDir>
#include <QFileInfo>

#include "gui/shell/screenshot.h"

QString startUsage() {
  return QStringLiteral(
      "Usage: dorvane [DIR] [--screenshot FILE]\n"
      "\n"
      "Browse, check and repair end-of-day price databases (MASTER, F<n>.DAT, F<n>.DOP).\n"
      "\n"
      "Without DIR, Dorvane scans the root remembered from the last run (at first the one\n"
      "holding the current directory) for portfolio directories.\n"
      "\n"
      "  DIR                scan the directory tree DIR instead; it joins the list of roots\n"
      "                     for this run only. The Portfolio Search Filter narrows its scan\n"
      "                     only when the filter's path lies inside DIR.\n"
      "  --screenshot FILE  once the first quotes are shown, save a picture of the main\n"
      "                     window as FILE (PNG) and exit; works without a display\n"
      "  --help             show this text and exit\n"
      "  --version          show the version and exit\n");
}

StartArguments parseStartArguments(QStringList arguments) {
  StartArguments result;
  result.screenshot = takeScreenshotOption(arguments);
  auto refuse = [&result](const QString& error) {
    result.action = StartArguments::Action::Refuse;
    result.error = error;
    return result;
  };
  QString root;
  for (const QString& argument : arguments) {
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      result.action = StartArguments::Action::ShowHelp;
      return result;
    }
    if (argument == QLatin1String("--version")) {
      result.action = StartArguments::Action::ShowVersion;
      return result;
    }
    if (argument.startsWith(u'-'))
      return refuse(QStringLiteral("dorvane: unknown option %1").arg(argument));
    if (!root.isEmpty()) return refuse(QStringLiteral("dorvane: only one directory may be given"));
    root = argument;
  }
  if (root.isEmpty()) return result;
  const QFileInfo info(root);
  if (!info.exists()) return refuse(QStringLiteral("dorvane: %1 does not exist").arg(root));
  if (!info.isDir()) return refuse(QStringLiteral("dorvane: %1 is not a directory").arg(root));
  result.root = QDir::cleanPath(info.absoluteFilePath());
  return result;
}
