#include "gui/browse/portfolio_watcher.h"

#include <QFileSystemWatcher>
#include <QTimer>

#include "gui/base/path_text.h"
#include "qdb/portfolio_files.h"

namespace {

// Long enough for a writer's replace (temporary file, sync, rename) to finish.
constexpr int kSettleMs = 300;

}  // namespace

CPortfolioWatcher::CPortfolioWatcher(QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_settle(new QTimer(this)) {
  m_settle->setSingleShot(true);
  m_settle->setInterval(kSettleMs);
  connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
  connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
  connect(m_settle, &QTimer::timeout, this, &CPortfolioWatcher::check);
}

void CPortfolioWatcher::watchIndex(const std::string& directory,
                                   const std::vector<std::string>& paths) {
  m_directory = directory;
  m_files.clear();
  for (const std::string& path : paths)
    m_files.push_back({path, qdb::file_system().identity(path)});
  m_indexFiles = m_files.size();
  rearm();
}

void CPortfolioWatcher::watchData(const std::string& path) {
  m_files.resize(m_indexFiles);
  if (!path.empty()) m_files.push_back({path, qdb::file_system().identity(path)});
  rearm();
}

void CPortfolioWatcher::clear() {
  m_directory.clear();
  m_files.clear();
  m_indexFiles = 0;
  m_settle->stop();
  rearm();
}

void CPortfolioWatcher::record() {
  for (Watched& file : m_files) file.identity = qdb::file_system().identity(file.path);
  rearm();
}

void CPortfolioWatcher::rearm() {
  // A file replaced by a rename leaves the watcher's list; the directory's own signal still
  // comes, and each record puts the files back.
  const QStringList old = m_watcher->files() + m_watcher->directories();
  if (!old.isEmpty()) m_watcher->removePaths(old);
  if (m_directory.empty()) return;
  QStringList paths{fromPathString(m_directory)};
  for (const Watched& file : m_files)
    if (file.identity) paths << fromPathString(file.path);
  m_watcher->addPaths(paths);
}

QStringList CPortfolioWatcher::changedNames() const {
  QStringList names;
  for (const Watched& file : m_files) {
    if (qdb::file_system().identity(file.path) == file.identity) continue;
    names << fromPathString(qdb::split_path(file.path).second);
  }
  return names;
}

void CPortfolioWatcher::setPaused(bool paused) {
  m_paused = paused;
  if (!paused) m_settle->start();
}

void CPortfolioWatcher::check() {
  if (m_paused || m_files.empty()) return;
  if (changed()) emit changedElsewhere();
}
