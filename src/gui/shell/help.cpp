#include "gui/shell/help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "gui/shell/prompter.h"

namespace {

bool holdsManual(const QString& dir) {
  return !dir.isEmpty() && QFileInfo(QDir(dir).filePath(QStringLiteral("index.html"))).isFile();
}

// Topics name pages of the manual, never paths.
bool isTopicName(const QString& topic) {
  for (const QChar c : topic) {
    if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_') return false;
  }
  return !topic.isEmpty();
}

}  // namespace

QString helpDirectory() {
  QStringList candidates;
  candidates << qEnvironmentVariable("DORVANE_HELP_DIR");
  const QString appDir = QCoreApplication::applicationDirPath();
  if (!appDir.isEmpty()) candidates << appDir + QStringLiteral("/../share/dorvane/help");
#ifdef DORVANE_HELP_SOURCE_DIR
  candidates << QStringLiteral(DORVANE_HELP_SOURCE_DIR);
#endif
#ifdef DORVANE_HELP_DIR
  candidates << QStringLiteral(DORVANE_HELP_DIR);
#endif
#ifdef DORVANE_HELP_INSTALL_DIR
  candidates << QStringLiteral(DORVANE_HELP_INSTALL_DIR);
#endif
  if (!appDir.isEmpty()) {
    candidates << appDir + QStringLiteral("/../docs/help")
               << appDir + QStringLiteral("/../../docs/help");
  }
  for (const QString& dir : candidates) {
    if (holdsManual(dir)) return QDir::cleanPath(QDir(dir).absolutePath());
  }
  return {};
}

QString helpPath(const QString& topic) {
  const QString dir = helpDirectory();
  if (dir.isEmpty()) return {};
  if (isTopicName(topic)) {
    const QString page = QDir(dir).filePath(topic + QStringLiteral(".html"));
    if (QFileInfo(page).isFile()) return page;
  }
  return QDir(dir).filePath(QStringLiteral("index.html"));
}

void showHelp(const QString& topic, QWidget* parent) {
  const QString page = helpPath(topic);
  if (!page.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(page))) return;
  const QString text =
      page.isEmpty()
          ? QCoreApplication::translate("Help", "The Dorvane Help files could not be found.")
          : QCoreApplication::translate("Help", "The Dorvane Help could not be opened:\n%1")
                .arg(page);
  Prompter::instance().message(parent, text, Prompter::Icon::Warning, Prompter::Buttons::Ok);
}
