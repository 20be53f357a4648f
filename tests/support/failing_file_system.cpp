#include "support/failing_file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace testing_support {

class FailingFileSystem::File final : public qdb::WriteFile {
 public:
  File(FailingFileSystem& owner, std::unique_ptr<qdb::WriteFile> inner, std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  bool write(const void* buffer, std::size_t n) override {
    ++m_owner.m_writes;
    if (m_owner.should_fail(m_owner.m_write_rule, m_path)) {
      const std::size_t part = std::min(n, m_owner.m_write_rule.partial_bytes);
      if (part > 0) m_inner->write(buffer, part);
      return false;
    }
    return m_inner->write(buffer, n);
  }
  bool sync() override {
    ++m_owner.m_syncs;
    if (m_owner.should_fail(m_owner.m_sync_rule, m_path)) return false;
    return m_inner->sync();
  }
  bool close() override {
    ++m_owner.m_closes;
    const bool closed = m_inner->close();
    if (m_owner.should_fail(m_owner.m_close_rule, m_path)) return false;
    return closed;
  }

 private:
  FailingFileSystem& m_owner;
  std::unique_ptr<qdb::WriteFile> m_inner;
  std::string m_path;
};

class FailingFileSystem::Reader final : public qdb::ReadFile {
 public:
  Reader(FailingFileSystem& owner, std::unique_ptr<qdb::ReadFile> inner, std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  std::size_t read(void* buffer, std::size_t n) override {
    ++m_owner.m_reads;
    if (m_owner.should_fail(m_owner.m_read_rule, m_path)) {
      const std::size_t part = std::min(n, m_owner.m_read_rule.partial_bytes);
      return part > 0 ? m_inner->read(buffer, part) : 0;
    }
    return m_inner->read(buffer, n);
  }
  bool seek(std::uint64_t offset) override { return m_inner->seek(offset); }
  std::uint64_t size() override { return m_inner->size(); }
  std::optional<qdb::FileIdentity> identity() override { return m_inner->identity(); }

 private:
  FailingFileSystem& m_owner;
  std::unique_ptr<qdb::ReadFile> m_inner;
  std::string m_path;
};

FailingFileSystem::FailingFileSystem() : m_inner(qdb::native_file_system()) {}

FailingFileSystem::Rule FailingFileSystem::make_rule(int nth, std::string path_part) {
  Rule rule;
  rule.active = true;
  rule.nth = nth;
  rule.path_part = std::move(path_part);
  return rule;
}

void FailingFileSystem::fail_step(std::string_view kind, int nth, std::size_t partial_bytes) {
  if (kind == "create")
    fail_create(nth);
  else if (kind == "write")
    fail_write(nth, {}, partial_bytes);
  else if (kind == "sync")
    fail_sync(nth);
  else if (kind == "close")
    fail_close(nth);
  else if (kind == "rename")
    fail_rename(nth);
  else if (kind == "remove")
    fail_remove(nth);
  else if (kind == "open")
    fail_open_read(nth);
  else if (kind == "read")
    fail_read(nth, {}, partial_bytes);
  else
    ADD_FAILURE() << "no failing step of kind " << kind;
}

void FailingFileSystem::fail_create(int nth, std::string path_part) {
  m_create_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_write(int nth, std::string path_part, std::size_t partial_bytes) {
  m_write_rule = make_rule(nth, std::move(path_part));
  m_write_rule.partial_bytes = partial_bytes;
}
void FailingFileSystem::fail_sync(int nth, std::string path_part) {
  m_sync_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_close(int nth, std::string path_part) {
  m_close_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_rename(int nth, std::string path_part) {
  m_rename_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_remove(int nth, std::string path_part) {
  m_remove_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_open_read(int nth, std::string path_part) {
  m_open_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::fail_read(int nth, std::string path_part, std::size_t partial_bytes) {
  m_read_rule = make_rule(nth, std::move(path_part));
  m_read_rule.partial_bytes = partial_bytes;
}
void FailingFileSystem::fail_list(int nth, std::string path_part) {
  m_list_rule = make_rule(nth, std::move(path_part));
}
void FailingFileSystem::clear_failures() {
  m_create_rule = m_write_rule = m_sync_rule = m_close_rule = Rule{};
  m_rename_rule = m_remove_rule = m_open_rule = m_read_rule = m_list_rule = Rule{};
}

bool FailingFileSystem::should_fail(Rule& rule, const std::string& path, const std::string& other) {
  if (!rule.active) return false;
  const bool matches = rule.path_part.empty() || path.find(rule.path_part) != std::string::npos ||
                       (!other.empty() && other.find(rule.path_part) != std::string::npos);
  if (!matches) return false;
  ++rule.seen;
  const bool fail = rule.nth == kEvery || rule.seen == rule.nth;
  if (fail) {
    ++m_failures;
    errno = EIO;
  }
  return fail;
}

std::unique_ptr<qdb::ReadFile> FailingFileSystem::open_read(const std::string& path) {
  ++m_opens;
  if (should_fail(m_open_rule, path)) return nullptr;
  std::unique_ptr<qdb::ReadFile> inner = m_inner.open_read(path);
  if (!inner) return nullptr;
  return std::make_unique<Reader>(*this, std::move(inner), path);
}

std::unique_ptr<qdb::WriteFile> FailingFileSystem::create(const std::string& path) {
  ++m_creates;
  if (should_fail(m_create_rule, path)) return nullptr;
  std::unique_ptr<qdb::WriteFile> inner = m_inner.create(path);
  if (!inner) return nullptr;
  m_created_paths.push_back(path);
  return std::make_unique<File>(*this, std::move(inner), path);
}

std::unique_ptr<qdb::WriteFile> FailingFileSystem::create_new(const std::string& path,
                                                              const std::string& like) {
  ++m_creates;
  if (should_fail(m_create_rule, path)) return nullptr;
  std::unique_ptr<qdb::WriteFile> inner = m_inner.create_new(path, like);
  if (!inner) return nullptr;
  m_created_paths.push_back(path);
  return std::make_unique<File>(*this, std::move(inner), path);
}

std::optional<qdb::FileIdentity> FailingFileSystem::identity(const std::string& path) {
  return m_inner.identity(path);
}

bool FailingFileSystem::rename(const std::string& from, const std::string& to) {
  ++m_renames;
  if (should_fail(m_rename_rule, from, to)) return false;
  return m_inner.rename(from, to);
}

bool FailingFileSystem::remove(const std::string& path) {
  ++m_removes;
  if (should_fail(m_remove_rule, path)) return false;
  return m_inner.remove(path);
}

bool FailingFileSystem::exists(const std::string& path) { return m_inner.exists(path); }

std::optional<std::uint64_t> FailingFileSystem::file_size(const std::string& path) {
  return m_inner.file_size(path);
}

std::optional<std::vector<qdb::DirEntry>> FailingFileSystem::list(const std::string& dir) {
  if (should_fail(m_list_rule, dir)) return std::nullopt;
  return m_inner.list(dir);
}

InstalledFileSystem::InstalledFileSystem(qdb::FileSystem& fs)
    : m_previous(qdb::set_file_system(&fs)) {}

InstalledFileSystem::~InstalledFileSystem() { qdb::set_file_system(m_previous); }

}  // namespace testing_support
