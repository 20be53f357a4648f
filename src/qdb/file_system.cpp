// The native file system behind the seam: stdio files and std::filesystem.
#include "qdb/file_system.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "qdb/file_suffixes.h"
#include "qdb/platform.h"
#include "qdb/staged_file.h"

namespace qdb {
namespace {

namespace fs = std::filesystem;

// Read buffer of every open file: a whole window of quotes, or several, per system call.
constexpr std::size_t kReadBuffer = 64 * 1024;

// Reads through a buffer of its own rather than stdio's: a seek that lands inside what was read
// costs nothing, and a small read elsewhere (the last quote's date, say) is read on its own
// without dropping the buffer, so no byte is read twice and the file is never read again from
// a point already passed.
class NativeReadFile final : public ReadFile {
 public:
  explicit NativeReadFile(std::FILE* file)
      // Left uninitialised: only the pages a read fills are ever touched, so a small file
      // costs a page or two of the buffer, not all of it.
      : m_file(file), m_buffer(std::make_unique_for_overwrite<char[]>(kReadBuffer)) {
    std::setvbuf(m_file, nullptr, _IONBF, 0);
  }
  ~NativeReadFile() override { std::fclose(m_file); }
  NativeReadFile(const NativeReadFile&) = delete;
  NativeReadFile& operator=(const NativeReadFile&) = delete;

  std::size_t read(void* buffer, std::size_t n) override {
    auto* out = static_cast<char*>(buffer);
    // A read that starts before the buffer and ends inside it (a newest-first window across
    // the buffer's start): its end is taken from the buffer now, and only its start is read.
    if (m_length > 0 && m_position < m_start && m_position + n > m_start &&
        m_position + n <= m_start + m_length) {
      const auto head = static_cast<std::size_t>(m_start - m_position);
      const std::uint64_t end = m_position + n;
      std::memcpy(out + head, m_buffer.get(), n - head);
      const std::size_t got = read_span(out, head);
      if (got < head) return got;
      m_position = end;
      return n;
    }
    return read_span(out, n);
  }
  bool seek(std::uint64_t offset) override {
    // Only noted: the next read places the file where it needs it, if at all.
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    m_position = offset;
    return true;
  }
  std::uint64_t size() override { return platform_file_size(m_file).value_or(0); }
  std::optional<FileIdentity> identity() override { return platform_identity(m_file); }

 private:
  // Reads no more than this on their own, keeping the buffer.
  static constexpr std::size_t kSmallRead = 256;

  // Reads n bytes from m_position on through the buffer.
  std::size_t read_span(char* out, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
      if (m_position >= m_start && m_position < m_start + m_length) {
        const std::size_t at = static_cast<std::size_t>(m_position - m_start);
        const std::size_t take = std::min(n - done, m_length - at);
        std::memcpy(out + done, m_buffer.get() + at, take);
        done += take;
        m_position += take;
        continue;
      }
      const std::size_t want = n - done;
      // Large reads, and small ones away from the buffer, go straight to the caller.
      if (want >= kReadBuffer || (want <= kSmallRead && m_length > 0)) {
        const std::size_t got = read_at(m_position, out + done, want);
        done += got;
        m_position += got;
        break;
      }
      refill(want);
      if (m_length == 0) break;
    }
    return done;
  }

  // Moves the file's own position to offset when it is not there.
  bool place(std::uint64_t offset) {
    if (m_file_position == offset) return true;
    if (!platform_seek(m_file, offset)) return false;
    m_file_position = offset;
    return true;
  }
  // Fills the buffer with a stretch that holds m_position. A read that walks backwards (a
  // window just before the buffer, as newest-first reading goes) gets the stretch that ends
  // where the buffer began, so nothing is read twice; otherwise the stretch starts at
  // m_position. The stretch stops at the end of the file as it was first measured, saving the
  // call that would only find the end.
  void refill(std::size_t want) {
    if (!m_size) m_size = platform_file_size(m_file).value_or(0);
    std::uint64_t start = m_position;
    if (m_length > 0 && m_position < m_start && m_position + want <= m_start)
      start =
          std::min<std::uint64_t>(m_position, m_start > kReadBuffer ? m_start - kReadBuffer : 0);
    std::size_t length = kReadBuffer;
    if (start < *m_size)
      length = static_cast<std::size_t>(std::min<std::uint64_t>(length, *m_size - start));
    if (start < m_start && m_start - start < length)
      length = static_cast<std::size_t>(m_start - start);
    m_start = start;
    // (Past that end, a file that grew since is read on as far as it goes.)
    m_length = read_at(start, m_buffer.get(), length);
  }

  std::size_t read_at(std::uint64_t offset, char* out, std::size_t n) {
    if (!place(offset)) return 0;
    const std::size_t got = std::fread(out, 1, n, m_file);
    m_file_position = offset + got;
    return got;
  }

  std::FILE* m_file;
  std::unique_ptr<char[]> m_buffer;     // outlives the stream: the destructor closes it first
  std::uint64_t m_start = 0;            // file offset of the buffer's first byte
  std::size_t m_length = 0;             // bytes the buffer holds
  std::uint64_t m_position = 0;         // where the next read begins
  std::uint64_t m_file_position = 0;    // where the stream itself stands
  std::optional<std::uint64_t> m_size;  // the file's size when the buffer was first filled
};

class NativeWriteFile final : public WriteFile {
 public:
  explicit NativeWriteFile(std::FILE* file) : m_file(file) {}
  ~NativeWriteFile() override { close(); }
  NativeWriteFile(const NativeWriteFile&) = delete;
  NativeWriteFile& operator=(const NativeWriteFile&) = delete;

  bool write(const void* buffer, std::size_t n) override {
    if (m_file == nullptr) return false;
    if (n == 0) return true;
    return std::fwrite(buffer, 1, n, m_file) == n;
  }
  bool sync() override {
    if (m_file == nullptr) return false;
    if (std::fflush(m_file) != 0) return false;
    return platform_sync_file(m_file);
  }
  bool close() override {
    if (m_file == nullptr) return false;
    // A write error that stdio kept in its buffer shows up here or in the error flag.
    const bool had_error = std::ferror(m_file) != 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && !had_error;
  }

 private:
  std::FILE* m_file;
};

class NativeFileSystem final : public FileSystem {
 public:
  std::unique_ptr<ReadFile> open_read(const std::string& path) override {
    int error = 0;
    bool not_regular = false;
    std::FILE* file = platform_open_read(path, error, not_regular);
    if (file == nullptr) {
      // A directory, FIFO or device is never a file to read; the user hears which one.
      errno = not_regular ? kErrorNotRegular : error;
      return nullptr;
    }
    return std::make_unique<NativeReadFile>(file);
  }

  std::unique_ptr<WriteFile> create_new(const std::string& path, const std::string& like) override {
    int error = 0;
    std::FILE* file = platform_create_new(path, like, error);
    if (file == nullptr) {
      errno = error;
      return nullptr;
    }
    return std::make_unique<NativeWriteFile>(file);
  }

  std::optional<FileIdentity> identity(const std::string& path) override {
    return platform_path_identity(path);
  }

  std::unique_ptr<WriteFile> create(const std::string& path) override {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return nullptr;
    return std::make_unique<NativeWriteFile>(file);
  }

  bool rename(const std::string& from, const std::string& to) override {
    std::error_code ec;
    fs::rename(fs::path(from), fs::path(to), ec);
    if (ec) {
      errno = ec.value();
      return false;
    }
    return true;
  }

  bool remove(const std::string& path) override {
    std::error_code ec;
    const bool removed = fs::remove(fs::path(path), ec) && !ec;
    if (!removed) errno = ec ? ec.value() : ENOENT;
    return removed;
  }

  bool exists(const std::string& path) override {
    std::error_code ec;
    return fs::exists(fs::path(path), ec) && !ec;
  }

  std::optional<std::uint64_t> file_size(const std::string& path) override {
    std::error_code ec;
    const auto size = fs::file_size(fs::path(path), ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
  }

#ifndef _WIN32
  bool list_each(const std::string& dir,
                 const std::function<void(const DirEntry&)>& each) override {
    // Straight from the directory stream: no path object per entry and no list of them all.
    DirEntry entry;
    return platform_list_directory(dir.empty() ? std::string(".") : dir,
                                   [&](const char* name, bool is_directory, bool is_symlink) {
                                     entry.name.assign(name);
                                     entry.is_directory = is_directory;
                                     entry.is_symlink = is_symlink;
                                     each(entry);
                                   });
  }
#endif

  std::optional<std::vector<DirEntry>> list(const std::string& dir) override {
    std::error_code ec;
    const fs::path where = dir.empty() ? fs::path(".") : fs::path(dir);
    fs::directory_iterator it(where, ec);
    if (ec) return std::nullopt;
    std::vector<DirEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
      if (ec) return std::nullopt;
      DirEntry entry;
      entry.name = it->path().filename().string();
      // The type the directory entry itself carries (d_type), so a listing costs no stat per
      // entry; only where the file system does not record it is the entry examined.
      std::error_code type_ec;
      entry.is_symlink = it->is_symlink(type_ec) && !type_ec;
      if (!entry.is_symlink && !type_ec) entry.is_directory = it->is_directory(type_ec) && !type_ec;
      entries.push_back(std::move(entry));
    }
    if (ec) return std::nullopt;
    return entries;
  }

  bool can_sync_all() override { return platform_can_sync_file_system(); }
  bool sync_all(const std::string& dir) override { return platform_sync_file_system(dir); }
  bool create_directory(const std::string& dir) override {
    std::error_code ec;
    fs::create_directories(fs::path(dir), ec);
    if (ec) {
      errno = ec.value();
      return false;
    }
    return fs::is_directory(fs::path(dir), ec) && !ec;
  }
};

std::atomic<FileSystem*> g_installed{nullptr};

}  // namespace

// A file system that does not make directories itself (a test's) makes them on the disk.
bool FileSystem::create_directory(const std::string& dir) {
  return native_file_system().create_directory(dir);
}

bool FileSystem::sync_directory(const std::string& dir) { return platform_sync_directory(dir); }

bool FileSystem::list_each(const std::string& dir,
                           const std::function<void(const DirEntry&)>& each) {
  const auto entries = list(dir);
  if (!entries) return false;
  for (const DirEntry& entry : *entries) each(entry);
  return true;
}

FileSystem& native_file_system() {
  static NativeFileSystem native;
  return native;
}

FileSystem& file_system() {
  FileSystem* installed = g_installed.load();
  return installed != nullptr ? *installed : native_file_system();
}

FileSystem* set_file_system(FileSystem* fs) {
  FileSystem* previous = g_installed.exchange(fs);
  return previous != nullptr ? previous : &native_file_system();
}

std::string not_regular_cause(const std::string& path) {
  if (file_system().open_read(path) != nullptr || errno != kErrorNotRegular) return {};
  return error_of(path, kErrorNotRegular).cause;
}

Result<void> copy_file(const std::string& from, const std::string& to) {
  FileSystem& files = file_system();
  std::unique_ptr<ReadFile> source = files.open_read(from);
  if (!source) return error_of(from, errno);
  const std::uint64_t expected = source->size();
  // A first copy takes the permission bits of its original, so a private file's backup is
  // private too; a later one keeps those of the copy it replaces.
  StagedFile staged(to, to + std::string(suffix::kCopy), std::nullopt,
                    files.identity(to) ? to : from);
  std::optional<Error> short_read;
  Result<void> written = staged.write([&](WriteFile& out) {
    std::vector<char> buffer(64 * 1024);
    std::uint64_t copied = 0;
    for (;;) {
      const std::size_t got = source->read(buffer.data(), buffer.size());
      if (got == 0) break;
      if (!out.write(buffer.data(), got)) return false;
      copied += got;
    }
    // A read that stopped early (an error, not the end) must not pass for a whole copy.
    if (copied != expected) {
      short_read = last_error_of(from);
      return false;
    }
    return true;
  });
  source.reset();
  if (short_read) return std::move(*short_read);
  if (!written) return written;
  // A copy not known to be on the disk is no backup to rely on: a plain failure of the copy.
  Result<void> placed = staged.commit();
  if (!placed && placed.status() == kNotConfirmed) return Error{kFileWrite, placed.error().cause};
  return placed;
}

}  // namespace qdb
