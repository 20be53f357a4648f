// Names inside a portfolio and the one safe way of replacing a file.
#include "qdb/portfolio_files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>
#include <utility>

#include "qdb/failure.h"

namespace qdb {
namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The form under which names that differ only in ASCII case meet.
std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

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

DirListing::DirListing(std::string dir) : m_dir(std::move(dir)) {
  auto entries = file_system().list(m_dir);
  if (!entries) return;
  m_ok = true;
  m_names.reserve(entries->size());
  m_exact.reserve(entries->size());
  m_folded.reserve(entries->size());
  for (DirEntry& entry : *entries) {
    const std::size_t index = m_names.size();
    m_exact.emplace(entry.name, index);
    m_folded.emplace(folded(entry.name), index);  // keeps the first of names folding alike
    m_names.push_back(std::move(entry.name));
  }
}

std::string DirListing::resolve(std::string_view name) const {
  // An exact match wins over one that differs in case (a directory can hold both).
  const std::string key(name);
  if (const auto exact = m_exact.find(key); exact != m_exact.end())
    return m_dir + m_names[exact->second];
  if (const auto any = m_folded.find(folded(key)); any != m_folded.end())
    return m_dir + m_names[any->second];
  return m_dir + key;
}

bool DirListing::contains(std::string_view name) const {
  return m_folded.find(folded(name)) != m_folded.end();
}

void DirListing::add(std::string_view name) {
  if (contains(name)) return;
  const std::size_t index = m_names.size();
  m_names.emplace_back(name);
  m_exact.emplace(m_names.back(), index);
  m_folded.emplace(folded(name), index);
}

std::string data_file_name(int file_number, std::string_view extension) {
  std::string name(1, 'F');
  name += std::to_string(file_number);
  if (extension.empty() || extension.front() != '.') name += '.';
  name += extension;
  return name;
}

std::pair<std::string, std::string> split_path(std::string_view path) {
  std::size_t cut = path.size();
  while (cut > 0 && !platform_is_separator(path[cut - 1])) --cut;
  return {std::string(path.substr(0, cut)), std::string(path.substr(cut))};
}

std::string resolve_path(std::string_view path) {
  auto [dir, name] = split_path(path);
  if (name.empty()) return std::string(path);
  // An entry of exactly this name needs no listing of the directory.
  if (file_system().exists(std::string(path))) return std::string(path);
  return DirListing(dir).resolve(name);
}

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

bool StagedFile::write(const std::function<bool(WriteFile&)>& writer) {
  if (m_target.empty() || m_temp_base.empty() || m_target == m_temp_base || !m_temp.empty())
    return false;
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
      note_error(m_target, errno);
      return false;
    }
  }
  if (!file) {
    note_error(m_target, EEXIST);
    return false;
  }
  CheckedWriteFile checked(*file);
  // A writer that gives up says why itself; a failed write is noted here.
  bool ok = writer(checked);
  if (checked.failed()) {
    note_error(m_target, checked.error());
    ok = false;
  }
  errno = 0;
  // A deferred file is synced with the rest of its batch where one call syncs them all.
  const bool sync_now = !m_deferred || !files.can_sync_all();
  if (ok && sync_now && !file->sync()) {
    note_error(m_target, errno != 0 ? errno : EIO);
    ok = false;
  }
  errno = 0;
  const bool closed = file->close();
  if (ok && !closed) {
    note_error(m_target, errno != 0 ? errno : EIO);
    ok = false;
  }
  file.reset();
  if (!ok) {
    discard();
    return false;
  }
  m_written = true;
  return true;
}

bool StagedFile::commit() {
  if (!m_written || m_temp.empty()) return false;
  FileSystem& files = file_system();
  if (m_expected && files.identity(m_target) != m_expected) {
    note_failure(file_name_of(m_target) + " was changed by another program");
    discard();
    return false;
  }
  errno = 0;
  const bool renamed =
      m_deferred ? files.rename_unsynced(m_temp, m_target) : files.rename(m_temp, m_target);
  if (!renamed) {
    note_error(m_target, errno != 0 ? errno : EIO);
    discard();
    return false;
  }
  m_temp.clear();
  return true;
}

bool replace_file(const std::string& target, const std::string& temp_path,
                  const std::function<bool(WriteFile&)>& writer,
                  const std::optional<FileIdentity>& expected) {
  StagedFile staged(target, temp_path, expected);
  return staged.write(writer) && staged.commit();
}

}  // namespace qdb
