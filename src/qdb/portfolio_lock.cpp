#include "qdb/portfolio_lock.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <thread>
#include <utility>

namespace qdb {
namespace {

std::atomic<long long> g_timeout_ms{5000};

struct Held {
  DirectoryHandle handle = -1;
  int count = 0;
};

using Key = std::pair<std::uint64_t, std::uint64_t>;

Key key_of(const PlatformIdentity& identity) { return {identity.device, identity.inode}; }

// The locks this thread holds, by directory identity.
std::map<Key, Held>& held_here() {
  thread_local std::map<Key, Held> held;
  return held;
}

// dir without its trailing separators, as messages show it.
std::string shown_dir(std::string dir) {
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

void drop(const PlatformIdentity& identity) {
  auto& held = held_here();
  const auto it = held.find(key_of(identity));
  if (it == held.end()) return;
  if (--it->second.count > 0) return;
  platform_close_directory(it->second.handle);
  held.erase(it);
}

}  // namespace

std::chrono::milliseconds lock_timeout() { return std::chrono::milliseconds(g_timeout_ms.load()); }

std::chrono::milliseconds set_lock_timeout(std::chrono::milliseconds timeout) {
  return std::chrono::milliseconds(g_timeout_ms.exchange(timeout.count()));
}

PortfolioLock::PortfolioLock(const std::vector<std::string>& dirs) {
  struct Wanted {
    std::string dir;
    DirectoryHandle handle;
    PlatformIdentity identity;
  };
  std::vector<Wanted> wanted;
  for (const std::string& dir : dirs) {
    errno = 0;
    const DirectoryHandle handle = platform_open_directory(dir);
    const int open_error = errno;
    const auto identity = platform_directory_identity(handle);
    if (!identity) {
      platform_close_directory(handle);
      // A directory that does not exist holds nothing to protect; the operation itself reports
      // it. One that exists but does not open (no read right, an I/O error) is not changed
      // unlocked: another command could change it at the same time.
      if (handle < 0 && (open_error == ENOENT || open_error == ENOTDIR)) continue;
      m_failure = shown_dir(dir) +
                  " could not be locked: " + std::strerror(open_error != 0 ? open_error : EIO);
      for (const Wanted& w : wanted) platform_close_directory(w.handle);
      return;
    }
    const bool seen = std::any_of(wanted.begin(), wanted.end(), [&](const Wanted& w) {
      return key_of(w.identity) == key_of(*identity);
    });
    if (seen) {
      platform_close_directory(handle);
      continue;
    }
    wanted.push_back({dir, handle, *identity});
  }
  std::sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) {
    return key_of(a.identity) < key_of(b.identity);
  });

  auto& held = held_here();
  std::size_t next = 0;
  for (; next < wanted.size(); ++next) {
    Wanted& w = wanted[next];
    const auto it = held.find(key_of(w.identity));
    if (it != held.end()) {
      ++it->second.count;
      platform_close_directory(w.handle);
      m_held.push_back(w.identity);
      continue;
    }
    const auto deadline = std::chrono::steady_clock::now() + lock_timeout();
    bool got = platform_try_lock_directory(w.handle);
    while (!got && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      got = platform_try_lock_directory(w.handle);
    }
    if (!got) break;
    held[key_of(w.identity)] = Held{w.handle, 1};
    m_held.push_back(w.identity);
  }
  if (next < wanted.size()) {
    m_failure = shown_dir(wanted[next].dir) + " is being changed by another Dorvane command";
    for (std::size_t i = next; i < wanted.size(); ++i) platform_close_directory(wanted[i].handle);
    release();
    return;
  }
  m_locked = true;
}

PortfolioLock::~PortfolioLock() { release(); }

void PortfolioLock::release() {
  for (auto it = m_held.rbegin(); it != m_held.rend(); ++it) drop(*it);
  m_held.clear();
  m_locked = false;
}

}  // namespace qdb
