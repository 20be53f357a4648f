// Host calls behind platform.h: POSIX, with the Windows runtime's equivalents.
#include "qdb/platform.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace qdb {

bool platform_is_separator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

bool platform_sync_file(std::FILE* file) {
  if (file == nullptr) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
#if defined(__linux__)
  // The data and what it takes to read it back (size, blocks); a timestamp may lag behind.
  return ::fdatasync(::fileno(file)) == 0;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
#endif
}

bool platform_sync_file_system(const std::string& dir) {
#ifdef _WIN32
  (void)dir;
  errno = ENOSYS;
  return false;
#elif defined(__linux__)
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool ok = ::syncfs(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return ok;
#else
  (void)dir;
  ::sync();
  return true;
#endif
}

bool platform_sync_directory(const std::string& dir) {
#ifdef _WIN32
  (void)dir;  // NTFS makes a completed rename durable with the file's own metadata.
  return true;
#else
  // A directory this process may not open, or a file system that cannot sync directories
  // (EINVAL, ENOTSUP), leaves nothing to force: only a failed write-out is a failure.
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return true;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int error = errno;
  ::close(fd);
  errno = error;
  return ok;
#endif
}

bool platform_seek(std::FILE* file, std::uint64_t offset) {
  if (file == nullptr) return false;
#ifdef _WIN32
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::optional<std::uint64_t> platform_file_size(std::FILE* file) {
  if (file == nullptr) return std::nullopt;
#ifdef _WIN32
  struct _stat64 st;
  if (_fstat64(_fileno(file), &st) != 0) return std::nullopt;
#else
  struct stat st;
  if (::fstat(::fileno(file), &st) != 0) return std::nullopt;
#endif
  if (st.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

#ifdef _WIN32

std::FILE* platform_open_read(const std::string& path, int& error, bool& not_regular) {
  not_regular = false;
  struct _stat64 st;
  if (_stat64(path.c_str(), &st) == 0 && (st.st_mode & _S_IFREG) == 0) {
    not_regular = true;
    error = 0;
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  error = file == nullptr ? errno : 0;
  return file;
}

std::FILE* platform_create_new(const std::string& path, const std::string&, int& error) {
  std::FILE* file = std::fopen(path.c_str(), "wbx");
  error = file == nullptr ? errno : 0;
  return file;
}

std::optional<PlatformIdentity> platform_identity(std::FILE* file) {
  struct _stat64 st;
  if (file == nullptr || _fstat64(_fileno(file), &st) != 0) return std::nullopt;
  return PlatformIdentity{
      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
      static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
}

std::optional<PlatformIdentity> platform_path_identity(const std::string& path) {
  struct _stat64 st;
  if (_stat64(path.c_str(), &st) != 0) return std::nullopt;
  return PlatformIdentity{
      static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
      static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
}

std::optional<std::string> platform_real_path(const std::string& path) {
  char buffer[_MAX_PATH];
  if (_fullpath(buffer, path.c_str(), sizeof buffer) == nullptr) return std::nullopt;
  return std::string(buffer);
}

DirectoryHandle platform_open_directory(const std::string& dir) {
  HANDLE handle = CreateFileA(dir.empty() ? "." : dir.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<DirectoryHandle>(handle);
}

bool platform_try_lock_directory(DirectoryHandle handle) {
  // Windows locks byte ranges of files, not directories: there the lock is granted at once
  // and only the check before each rename guards against another writer.
  return handle != -1;
}

void platform_close_directory(DirectoryHandle handle) {
  if (handle != -1) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::optional<PlatformIdentity> platform_directory_identity(DirectoryHandle handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == -1 || !GetFileInformationByHandle(reinterpret_cast<HANDLE>(handle), &info))
    return std::nullopt;
  PlatformIdentity identity;
  identity.device = info.dwVolumeSerialNumber;
  identity.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return identity;
}

#else

namespace {

PlatformIdentity identity_of(const struct stat& st) {
  PlatformIdentity identity;
  identity.device = static_cast<std::uint64_t>(st.st_dev);
  identity.inode = static_cast<std::uint64_t>(st.st_ino);
  identity.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
#if defined(__APPLE__)
  identity.modified_ns =
      static_cast<std::int64_t>(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
  identity.modified_ns =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
  return identity;
}

// The descriptor, opened without blocking, made blocking again and wrapped in a stream of
// mode; nullptr (the descriptor closed, error set) when no stream could be made.
std::FILE* stream_of(int fd, const char* mode, int& error) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, mode);
  if (file == nullptr) {
    error = errno;
    ::close(fd);
  }
  return file;
}

}  // namespace

std::FILE* platform_open_read(const std::string& path, int& error, bool& not_regular) {
  not_regular = false;
  error = 0;
  // Non-blocking, so that a FIFO or a device cannot hold the open; the type is checked on the
  // descriptor itself before anything is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = errno;
    not_regular = true;
    ::close(fd);
    return nullptr;
  }
  return stream_of(fd, "rb", error);
}

std::FILE* platform_create_new(const std::string& path, const std::string& like, int& error) {
  error = 0;
  const int fd =
      ::open(path.c_str(),
             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat old;
  if (!like.empty() && ::lstat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    // Owner and group first (a change of owner may clear the set-id bits), then the bits.
    // Only a privileged process may give a file away; elsewhere the new file stays ours.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
      if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        // Not a member of the group either: the file keeps the process's own.
      }
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) {
      // The new file keeps the default bits; the content is what matters.
    }
  }
  std::FILE* file = stream_of(fd, "wb", error);
  if (file == nullptr) ::unlink(path.c_str());
  return file;
}

std::optional<PlatformIdentity> platform_identity(std::FILE* file) {
  struct stat st;
  if (file == nullptr || ::fstat(::fileno(file), &st) != 0) return std::nullopt;
  return identity_of(st);
}

std::optional<PlatformIdentity> platform_path_identity(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return identity_of(st);
}

std::optional<std::string> platform_real_path(const std::string& path) {
  char* real = ::realpath(path.empty() ? "." : path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string result(real);
  std::free(real);
  return result;
}

DirectoryHandle platform_open_directory(const std::string& dir) {
  return ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool platform_try_lock_directory(DirectoryHandle handle) {
  if (handle < 0) return false;
  return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0;
}

void platform_close_directory(DirectoryHandle handle) {
  if (handle >= 0) ::close(static_cast<int>(handle));
}

std::optional<PlatformIdentity> platform_directory_identity(DirectoryHandle handle) {
  struct stat st;
  if (handle < 0 || ::fstat(static_cast<int>(handle), &st) != 0) return std::nullopt;
  PlatformIdentity identity;
  identity.device = static_cast<std::uint64_t>(st.st_dev);
  identity.inode = static_cast<std::uint64_t>(st.st_ino);
  return identity;
}

#endif

}  // namespace qdb
