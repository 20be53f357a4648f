// A file replaced by a complete new one renamed over it.
#include "qdb/staged_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <utility>

#include "qdb/portfolio_files.h"

namespace qdb {
namespace {

// Passes every call through and remembers whether any write failed, so a writer that forgets
// to check one write cannot get a short file renamed into place.
class CheckedWriteFile final : public WriteFile {
 public:
  explicit CheckedWriteFile(WriteFile& inner) : m_inner(inner) {}
  bool write(const void* buffer, std::size_t n) override {
    errno = 0;
    const bool ok = m_inner.write(buffer, n);
    if (!ok && !m_failed) {
      m_failed = true;
      m_error = errno != 0 ? errno : EIO;
    }
    return ok;
  }
  bool sync() override { return m_inner.sync(); }
  bool close() override { return m_inner.close(); }
  bool failed() const { return m_failed; }
  int error() const { return m_error; }

 private:
  WriteFile& m_inner;
  bool m_failed = false;
  int m_error = 0;
};

// A suffix that no other run picks: a random start, then a counter.
std::string unique_suffix() {
  static std::atomic<std::uint64_t> counter{[] {
    std::random_device device;
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    return (static_cast<std::uint64_t>(device()) << 32) ^ now;
  }()};
  const std::uint64_t value = counter.fetch_add(0x9E3779B97F4A7C15ULL);
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string text = ".";
  for (std::uint64_t rest = value, i = 0; i < 8; ++i, rest /= 36) text += digits[rest % 36];
  return text;
}

}  // namespace

StagedFile::StagedFile(std::string target, std::string temp_path,
                       std::optional<FileIdentity> expected, std::string like)
    : m_target(std::move(target)),
      m_temp_base(std::move(temp_path)),
      m_expected(expected),
      m_like(like.empty() ? m_target : std::move(like)) {}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
  if (m_temp.empty()) return;
  const int saved = errno;
  file_system().remove(m_temp);
  errno = saved;
  m_temp.clear();
}

Result<void> StagedFile::write(const std::function<bool(WriteFile&)>& writer) {
  if (m_target.empty() || m_temp_base.empty() || m_target == m_temp_base || !m_temp.empty())
    return Error{kInvalidParm, {}};
  FileSystem& files = file_system();
  std::unique_ptr<WriteFile> file;
  // The plain name first; when anything holds it (a leftover, another program's file, a
  // planted link), a unique name beside it.
  for (int attempt = 0; attempt < 32 && !file; ++attempt) {
    const std::string name = attempt == 0 ? m_temp_base : m_temp_base + unique_suffix();
    errno = 0;
    file = files.create_new(name, m_like);
    if (file) {
      m_temp = name;
    } else if (errno != EEXIST && errno != ELOOP) {
      return error_of(m_target, errno);
    }
  }
  if (!file) return error_of(m_target, EEXIST);
  CheckedWriteFile checked(*file);
  // A writer that gives up knows why itself (the cause stays empty here); a failed write is
  // named here.
  std::optional<Error> failed;
  if (!writer(checked)) failed = Error{kFileWrite, {}};
  if (checked.failed()) failed = error_of(m_target, checked.error());
  errno = 0;
  // A deferred file is synced with the rest of its batch where one call syncs them all.
  const bool sync_now = !m_deferred || !files.can_sync_all();
  if (!failed && sync_now && !file->sync()) failed = last_error_of(m_target);
  errno = 0;
  const bool closed = file->close();
  if (!failed && !closed) failed = last_error_of(m_target);
  file.reset();
  if (failed) {
    discard();
    return std::move(*failed);
  }
  m_written = true;
  return {};
}

Result<void> StagedFile::target_unchanged() const {
  if (!m_expected || file_system().identity(m_target) == m_expected) return {};
  return Error{kFileWrite, file_name_of(m_target) + " was changed by another program"};
}

Result<void> StagedFile::commit(bool sync_directory) {
  if (!m_written || m_temp.empty()) return Error{kInvalidParm, {}};
  if (Result<void> unchanged = target_unchanged(); !unchanged) {
    discard();
    return unchanged;
  }
  errno = 0;
  if (!file_system().rename(m_temp, m_target)) {
    Error error = last_error_of(m_target);
    discard();
    return error;
  }
  m_temp.clear();
  // The file is in place either way; a failed sync of its directory is told as such.
  if (sync_directory) {
    errno = 0;
    if (!file_system().sync_directory(split_path(m_target).first))
      return not_confirmed_error(split_path(m_target).first, errno);
  }
  return {};
}

Result<void> sync_directory(const std::string& dir) {
  errno = 0;
  if (file_system().sync_directory(dir)) return {};
  // The cause names the directory by its last component.
  std::string shown = dir;
  while (shown.size() > 1 && platform_is_separator(shown.back())) shown.pop_back();
  return last_error_of(shown.empty() ? std::string(".") : shown);
}

Result<void> replace_file(const std::string& target, const std::string& temp_path,
                          const std::function<bool(WriteFile&)>& writer,
                          const std::optional<FileIdentity>& expected) {
  StagedFile staged(target, temp_path, expected);
  if (Result<void> written = staged.write(writer); !written) return written;
  return staged.commit();
}

}  // namespace qdb
