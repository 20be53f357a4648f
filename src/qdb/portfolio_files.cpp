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

namespace {

// FNV-1a of the ASCII lower-case form of name.
std::uint32_t folded_hash(std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(ascii_lower(c));
    hash *= 1099511628211ull;
  }
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// The fewest slots a listing has.
constexpr std::size_t kFirstSlots = 64;

bool folds_alike(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}

}  // namespace

DirListing::DirListing(std::string dir) : m_dir(std::move(dir)) {
  // The names first, then the table at its final size: no smaller table is built and outgrown
  // on the way (every page a process touches first costs a fault).
  m_ok = file_system().list_each(m_dir, [this](const DirEntry& entry) { append(entry.name); });
  if (!m_ok) {
    // A listing that failed part-way resolves nothing.
    m_text.clear();
    m_ends.clear();
    m_alike.clear();
    m_hashes.clear();
  }
  std::size_t slots = kFirstSlots;
  while (slots < 2 * (m_ends.size() + 1)) slots *= 2;
  m_slots.assign(slots, kNone);
  for (std::uint32_t index = 0; index < m_ends.size(); ++index) place(index);
}

std::string_view DirListing::name_at(std::uint32_t index) const {
  const std::uint32_t begin = index == 0 ? 0 : m_ends[index - 1];
  return std::string_view(m_text).substr(begin, m_ends[index] - begin);
}

std::size_t DirListing::slot_of(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = m_slots.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t index = m_slots[slot];
    if (index == kNone || (m_hashes[index] == hash && folds_alike(name_at(index), name)))
      return slot;
  }
}

void DirListing::grow() {
  // Every slot holds a different folded name, so each goes to the first free slot of its hash.
  std::vector<std::uint32_t> old;
  old.swap(m_slots);
  m_slots.assign(old.size() * 2, kNone);
  const std::size_t mask = m_slots.size() - 1;
  for (const std::uint32_t index : old) {
    if (index == kNone) continue;
    std::size_t slot = m_hashes[index] & mask;
    while (m_slots[slot] != kNone) slot = (slot + 1) & mask;
    m_slots[slot] = index;
  }
}

void DirListing::append(std::string_view name) {
  m_hashes.push_back(folded_hash(name));
  m_text.append(name);
  m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
  m_alike.push_back(kNone);
}

void DirListing::insert(std::string_view name) {
  // Kept at most half full, so a probe ends after a step or two.
  if ((m_ends.size() + 1) * 2 > m_slots.size()) grow();
  append(name);
  place(static_cast<std::uint32_t>(m_ends.size() - 1));
}

void DirListing::place(std::uint32_t index) {
  const std::size_t slot = slot_of(name_at(index), m_hashes[index]);
  if (m_slots[slot] == kNone) {
    m_slots[slot] = index;
    return;
  }
  // Names folding alike keep their listing order behind the first one.
  std::uint32_t last = m_slots[slot];
  while (m_alike[last] != kNone) last = m_alike[last];
  m_alike[last] = index;
}

std::string DirListing::resolve(std::string_view name) const {
  const std::uint32_t first = m_slots[slot_of(name, folded_hash(name))];
  if (first == kNone) return m_dir + std::string(name);
  // An exact match wins over one that differs in case (a directory can hold both).
  for (std::uint32_t index = first; index != kNone; index = m_alike[index])
    if (name_at(index) == name) return m_dir + std::string(name);
  return m_dir + std::string(name_at(first));
}

bool DirListing::contains(std::string_view name) const {
  return m_slots[slot_of(name, folded_hash(name))] != kNone;
}

void DirListing::add(std::string_view name) {
  if (contains(name)) return;
  insert(name);
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
  if (ok && !file->sync()) {
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
  if (!files.rename(m_temp, m_target)) {
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
