// The native file system behind the seam: stdio files and std::filesystem.
#include "qdb/file_system.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
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

class NativeReadFile final : public ReadFile {
 public:
  explicit NativeReadFile(std::FILE* file)
      : m_file(file), m_buffer(std::make_unique<char[]>(kReadBuffer)) {
    std::setvbuf(m_file, m_buffer.get(), _IOFBF, kReadBuffer);
  }
  ~NativeReadFile() override { std::fclose(m_file); }
  NativeReadFile(const NativeReadFile&) = delete;
  NativeReadFile& operator=(const NativeReadFile&) = delete;

  std::size_t read(void* buffer, std::size_t n) override {
    if (n == 0) return 0;
    return std::fread(buffer, 1, n, m_file);
  }
  bool seek(std::uint64_t offset) override { return platform_seek(m_file, offset); }
  std::uint64_t size() override { return platform_file_size(m_file).value_or(0); }
  std::optional<FileIdentity> identity() override { return platform_identity(m_file); }

 private:
  std::FILE* m_file;
  std::unique_ptr<char[]> m_buffer;  // outlives the stream: the destructor closes it first
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
};

std::atomic<FileSystem*> g_installed{nullptr};

}  // namespace

bool FileSystem::sync_directory(const std::string& dir) { return platform_sync_directory(dir); }

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
  return staged.commit();
}

}  // namespace qdb
