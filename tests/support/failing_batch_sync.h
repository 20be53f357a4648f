// A test's file system: the native one, but where every file is synced in one call, and that
// call fails with EIO.
#pragma once

#include <cerrno>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qdb/file_system.h"

namespace testing_support {

// The native file system, but one whose one-call sync of the batch fails.
class FailingBatchSync final : public qdb::FileSystem {
 public:
  std::unique_ptr<qdb::ReadFile> open_read(const std::string& path) override {
    return m_native.open_read(path);
  }
  std::unique_ptr<qdb::WriteFile> create(const std::string& path) override {
    return m_native.create(path);
  }
  std::unique_ptr<qdb::WriteFile> create_new(const std::string& path,
                                             const std::string& like) override {
    return m_native.create_new(path, like);
  }
  std::optional<qdb::FileIdentity> identity(const std::string& path) override {
    return m_native.identity(path);
  }
  bool rename(const std::string& from, const std::string& to) override {
    return m_native.rename(from, to);
  }
  bool remove(const std::string& path) override { return m_native.remove(path); }
  bool exists(const std::string& path) override { return m_native.exists(path); }
  std::optional<std::uint64_t> file_size(const std::string& path) override {
    return m_native.file_size(path);
  }
  std::optional<std::vector<qdb::DirEntry>> list(const std::string& dir) override {
    return m_native.list(dir);
  }
  bool can_sync_all() override { return true; }
  bool sync_all(const std::string&) override {
    errno = EIO;
    return false;
  }

 private:
  qdb::FileSystem& m_native = qdb::native_file_system();
};

}  // namespace testing_support
