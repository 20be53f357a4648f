// The desktop application's host differences on Linux and other POSIX systems: roots are
// directory paths, "/" separates components.
#include <string>
#include <vector>

#include <QDir>

#include "core/roots.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"

QString rootEntryText(const QString& root) { return root; }

QString rootSettingText(const QString& root) { return root; }

bool rootMatchesSetting(const QString& root, const QString& setting) {
  return !setting.isEmpty() && root == setting;
}

bool pathIsOnListedRoot(const QString& path, const QStringList& rootEntries) {
  if (!QDir::isAbsolutePath(path)) return false;
  std::vector<std::string> roots;
  roots.reserve(static_cast<std::size_t>(rootEntries.size()));
  for (const QString& root : rootEntries) roots.push_back(toPathString(root));
  return !core::longest_root_for(toPathString(path), roots).empty();
}

QString joinPath(const QString& directory, const QString& name) {
  if (directory.endsWith(u'/')) return directory + name;
  return directory + u'/' + name;
}

QString parentPath(const QString& path) {
  const qsizetype cut = path.lastIndexOf(u'/');
  if (cut < 0) return {};
  if (cut == 0) return QStringLiteral("/");
  return path.left(cut);
}

QString expandHome(const QString& path) {
  if (path == u'~') return QDir::homePath();
  if (path.startsWith(QStringLiteral("~/"))) return QDir::homePath() + path.mid(1);
  return path;
}

bool hasDisplay() {
#if defined(__APPLE__)
  return true;  // the native window system needs no variable
#else
  // A platform chosen explicitly (offscreen, wayland, ...) is Qt's business.
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}
