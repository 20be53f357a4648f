// The exclusive lock a command holds on each portfolio it changes, for the whole of its
// read-modify-write. It locks the portfolio directory itself, so no file is created in it.
// Several directories are taken in one fixed order (by device and inode), so two commands
// that lock the same pair cannot wait for each other. A thread that holds a directory's lock
// takes it again at once (an operation may call another that locks too); other threads and
// other processes wait, for at most the lock timeout.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "qdb/platform.h"

namespace qdb {

class PortfolioLock {
 public:
  // Locks every directory of dirs (paths naming the same directory count once; one that does
  // not exist is passed over, one that exists but does not open is a failure). On failure
  // nothing stays locked and failure() says why.
  explicit PortfolioLock(const std::vector<std::string>& dirs);
  ~PortfolioLock();
  PortfolioLock(const PortfolioLock&) = delete;
  PortfolioLock& operator=(const PortfolioLock&) = delete;

  bool locked() const { return m_locked; }
  // "<dir> is being changed by another Dorvane command", "<dir> could not be locked:
  // Permission denied"; empty when locked.
  const std::string& failure() const { return m_failure; }

 private:
  void release();
  std::vector<PlatformIdentity> m_held;
  bool m_locked = false;
  std::string m_failure;
};

// How long a command waits for a lock another holds (5 seconds unless changed).
std::chrono::milliseconds lock_timeout();
// Sets the wait; returns the previous one.
std::chrono::milliseconds set_lock_timeout(std::chrono::milliseconds timeout);

}  // namespace qdb
