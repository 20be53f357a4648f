#include "gui/base/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QStringList>

#include "gui/base/help_window.h"
#include "gui/base/prompter.h"

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
  if (!appDir.isEmpty())
    candidates << QDir(appDir).filePath(QStringLiteral(DORVANE_HELP_RELATIVE_DIR));
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
  if (page.isEmpty()) {
    Prompter::instance().message(parent,
                                 QStringLiteral("The Dorvane Help files could not be found."),
                                 Prompter::Icon::Warning, Prompter::Buttons::Ok);
    return;
  }
  QWidget* owner = parent ? parent->window() : nullptr;
  CHelpWindow* help =
      owner ? owner->findChild<CHelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
  if (!help) help = new CHelpWindow(owner);
  help->showPage(page);
}

void addHelpKey(QWidget* window, const QString& topic) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
  key->setContext(Qt::WindowShortcut);
  QObject::connect(key, &QShortcut::activated, window,
                   [window, topic] { showHelp(topic, window); });
}
