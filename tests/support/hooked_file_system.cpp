#include "support/hooked_file_system.h"

#include <cerrno>
#include <utility>

namespace testing_support {

void HookedFileSystem::before_commit_of(std::string path, std::function<void()> change) {
  m_hooked_path = std::move(path);
  m_change = std::move(change);
}

std::unique_ptr<qdb::ReadFile> HookedFileSystem::open_read(const std::string& path) {
  return m_inner.open_read(path);
}

std::unique_ptr<qdb::WriteFile> HookedFileSystem::create(const std::string& path) {
  return m_inner.create(path);
}

std::unique_ptr<qdb::WriteFile> HookedFileSystem::create_new(const std::string& path,
                                                             const std::string& like) {
  return m_inner.create_new(path, like);
}

std::optional<qdb::FileIdentity> HookedFileSystem::identity(const std::string& path) {
  if (m_change && path == m_hooked_path) std::exchange(m_change, nullptr)();
  return m_inner.identity(path);
}

bool HookedFileSystem::rename(const std::string& from, const std::string& to) {
  if (!m_inner.rename(from, to)) return false;
  const std::size_t cut = to.find_last_of('/');
  m_renamed.push_back(cut == std::string::npos ? to : to.substr(cut + 1));
  return true;
}

bool HookedFileSystem::sync_directory(const std::string& dir) {
  if (++m_syncs == m_fail_sync) {
    ++m_failures;
    errno = EIO;
    return false;
  }
  return m_inner.sync_directory(dir);
}

bool HookedFileSystem::remove(const std::string& path) { return m_inner.remove(path); }

bool HookedFileSystem::exists(const std::string& path) { return m_inner.exists(path); }

std::optional<std::uint64_t> HookedFileSystem::file_size(const std::string& path) {
  return m_inner.file_size(path);
}

std::optional<std::vector<qdb::DirEntry>> HookedFileSystem::list(const std::string& dir) {
  return m_inner.list(dir);
}

}  // namespace testing_support
