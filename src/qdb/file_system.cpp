// The native file system behind the seam: stdio files and std::filesystem.
#include "qdb/file_system.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "qdb/platform.h"
#include "qdb/portfolio_files.h"

namespace qdb {
namespace {

namespace fs = std::filesystem;

class NativeReadFile final : public ReadFile {
 public:
  explicit NativeReadFile(std::FILE* file) : m_file(file) {}
  ~NativeReadFile() override { std::fclose(m_file); }
  NativeReadFile(const NativeReadFile&) = delete;
  NativeReadFile& operator=(const NativeReadFile&) = delete;

  std::size_t read(void* buffer, std::size_t n) override {
    if (n == 0) return 0;
    return std::fread(buffer, 1, n, m_file);
  }
  bool seek(std::uint64_t offset) override { return platform_seek(m_file, offset); }
  std::uint64_t size() override { return platform_file_size(m_file).value_or(0); }

 private:
  std::FILE* m_file;
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
    std::error_code ec;
    // stdio opens a directory for reading on some hosts; it is never a file to read.
    if (fs::is_directory(fs::path(path), ec)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return nullptr;
    return std::make_unique<NativeReadFile>(file);
  }

  std::unique_ptr<WriteFile> create(const std::string& path) override {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return nullptr;
    return std::make_unique<NativeWriteFile>(file);
  }

  bool rename(const std::string& from, const std::string& to) override {
    std::error_code ec;
    fs::rename(fs::path(from), fs::path(to), ec);
    if (ec) return false;
    // Make the new directory entry durable too; the rename itself has happened either way.
    platform_sync_directory(fs::path(to).parent_path().string());
    return true;
  }

  bool remove(const std::string& path) override {
    std::error_code ec;
    return fs::remove(fs::path(path), ec) && !ec;
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
      std::error_code type_ec;
      const fs::file_status status = it->symlink_status(type_ec);
      entry.is_symlink = !type_ec && fs::is_symlink(status);
      entry.is_directory = !type_ec && fs::is_directory(status);
      entries.push_back(std::move(entry));
    }
    if (ec) return std::nullopt;
    return entries;
  }
};

std::atomic<FileSystem*> g_installed{nullptr};

}  // namespace

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

bool copy_file(const std::string& from, const std::string& to) {
  FileSystem& files = file_system();
  std::unique_ptr<ReadFile> source = files.open_read(from);
  if (!source) return false;
  const std::uint64_t expected = source->size();
  return replace_file(to, to + ".tmp~", [&](WriteFile& out) {
    std::vector<char> buffer(64 * 1024);
    std::uint64_t copied = 0;
    for (;;) {
      const std::size_t got = source->read(buffer.data(), buffer.size());
      if (got == 0) break;
      if (!out.write(buffer.data(), got)) return false;
      copied += got;
    }
    // A read that stopped early (an error, not the end) must not pass for a whole copy.
    return copied == expected;
  });
}

}  // namespace qdb
