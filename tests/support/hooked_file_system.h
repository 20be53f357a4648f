// A file system for tests that passes every call to another one and adds what a fault-injecting
// one cannot: a failing directory sync, a change by "another program" made right before a file
// is committed, and the order of the renames.
//
//   testing_support::FailingFileSystem failing;
//   testing_support::HookedFileSystem hooked(failing);
//   hooked.before_commit_of(dir + "MASTER", [&] { write_bytes(master, "changed"); });
//   testing_support::InstalledFileSystem installed(hooked);
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "qdb/file_system.h"

namespace testing_support {

class HookedFileSystem final : public qdb::FileSystem {
 public:
  explicit HookedFileSystem(qdb::FileSystem& inner) : m_inner(inner) {}

  // Runs change once, when the identity of path is first asked: a commit asks it right before
  // it renames the new file over path, so change acts as another program writing the file
  // after it was read.
  void before_commit_of(std::string path, std::function<void()> change);
  // The nth directory sync (1-based) fails with EIO.
  void fail_directory_sync(int nth) { m_fail_sync = nth; }

  // The last components of the rename targets, in order.
  const std::vector<std::string>& renamed() const { return m_renamed; }
  int directory_syncs() const { return m_syncs; }
  int failures() const { return m_failures; }

  std::unique_ptr<qdb::ReadFile> open_read(const std::string& path) override;
  std::unique_ptr<qdb::WriteFile> create(const std::string& path) override;
  std::unique_ptr<qdb::WriteFile> create_new(const std::string& path,
                                             const std::string& like) override;
  std::optional<qdb::FileIdentity> identity(const std::string& path) override;
  bool rename(const std::string& from, const std::string& to) override;
  bool sync_directory(const std::string& dir) override;
  bool remove(const std::string& path) override;
  bool exists(const std::string& path) override;
  std::optional<std::uint64_t> file_size(const std::string& path) override;
  std::optional<std::vector<qdb::DirEntry>> list(const std::string& dir) override;

 private:
  qdb::FileSystem& m_inner;
  std::string m_hooked_path;
  std::function<void()> m_change;
  int m_fail_sync = 0;
  int m_syncs = 0;
  int m_failures = 0;
  std::vector<std::string> m_renamed;
};

}  // namespace testing_support
