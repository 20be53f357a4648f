// Notices when another program changes the files of the portfolio the view shows: its MASTER,
// EMASTER and XMASTER and the data file of the symbol loaded. A QFileSystemWatcher on them and
// on their directory says that something may have changed; the files' identities (device,
// inode, size, modification time), recorded when the view last read or wrote them, say whether
// it did. The view records them again after each of its own commands, so its own rewrites
// raise nothing, and holds the check back while a command runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QObject>
#include <QStringList>

#include "qdb/file_system.h"

class QFileSystemWatcher;
class QTimer;

class CPortfolioWatcher : public QObject {
  Q_OBJECT
 public:
  explicit CPortfolioWatcher(QObject* parent = nullptr);

  // Watches the index files at paths (a missing one counts as missing) inside directory, as
  // they are now: the symbols were just listed from them. Drops the data file.
  void watchIndex(const std::string& directory, const std::vector<std::string>& paths);
  // Watches the data file at path (empty: none) as it is now, its quotes just read; the index
  // files keep their records.
  void watchData(const std::string& path);
  void clear();
  // Records the watched files as they are now: the view shows them so.
  void record();
  // The names of the watched files that differ from their record, in the order watched.
  QStringList changedNames() const;
  bool changed() const { return !changedNames().isEmpty(); }
  // While paused, a change is not announced (a command of the view is running); it is looked
  // at again when the pause ends, after the command has recorded its own writes.
  void setPaused(bool paused);

 signals:
  // Some watched file differs from its record and no command is running.
  void changedElsewhere();

 private:
  struct Watched {
    std::string path;
    std::optional<qdb::FileIdentity> identity;
  };
  void check();
  void rearm();

  QFileSystemWatcher* m_watcher;
  QTimer* m_settle;  // lets a burst of events (a write, then a rename) end before the check
  std::string m_directory;
  std::vector<Watched> m_files;  // the index files, then the data file
  std::size_t m_indexFiles = 0;
  bool m_paused = false;
};
