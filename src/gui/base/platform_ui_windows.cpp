// The desktop application's host differences on Windows: roots are drives ("C:\"), shown as
// "[-c-]" and remembered by their letter; "\" and "/" both separate components.
#include <QDir>

#include "gui/base/platform_ui.h"

namespace {

bool isSeparator(QChar c) { return c == u'\\' || c == u'/'; }

}  // namespace

QString rootEntryText(const QString& root) {
  if (root.isEmpty()) return root;
  return QStringLiteral("[-") + root.at(0).toLower() + QStringLiteral("-]");
}

QString rootSettingText(const QString& root) {
  if (root.isEmpty()) return root;
  return QString(root.at(0).toUpper());
}

bool rootMatchesSetting(const QString& root, const QString& setting) {
  return !root.isEmpty() && !setting.isEmpty() && root.at(0).toUpper() == setting.at(0).toUpper();
}

bool pathIsOnListedRoot(const QString& path, const QStringList& rootEntries) {
  if (path.size() < 2 || path[1] != u':') return false;
  const QString entry = QStringLiteral("[-") + path[0] + QStringLiteral("-]");
  for (const QString& root : rootEntries) {
    if (root.compare(entry, Qt::CaseInsensitive) == 0) return true;
    if (root.size() >= 2 && root[1] == u':' && root[0].toUpper() == path[0].toUpper()) return true;
  }
  return false;
}

QString joinPath(const QString& directory, const QString& name) {
  if (!directory.isEmpty() && isSeparator(directory.back())) return directory + name;
  return directory + u'\\' + name;
}

QString parentPath(const QString& path) {
  qsizetype cut = path.size() - 1;
  while (cut >= 0 && !isSeparator(path[cut])) --cut;
  if (cut < 0) return {};
  // "C:\MASTER" lies in the drive's root "C:\".
  if (cut == 2 && path[1] == u':') return path.left(3);
  return path.left(cut);
}

QString expandHome(const QString& path) {
  if (path == u'~') return QDir::toNativeSeparators(QDir::homePath());
  if (path.size() >= 2 && path[0] == u'~' && isSeparator(path[1]))
    return QDir::toNativeSeparators(QDir::homePath()) + path.mid(1);
  return path;
}

bool hasDisplay() { return true; }
