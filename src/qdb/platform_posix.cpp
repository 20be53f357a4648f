// Host calls behind platform.h on POSIX systems (platform_windows.cpp holds the Windows ones).
#include "qdb/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

namespace qdb {

bool platform_is_separator(char c) { return c == '/'; }

bool platform_sync_file(std::FILE* file) {
  if (file == nullptr) return false;
#if defined(__linux__)
  // The data and what it takes to read it back (size, blocks); a timestamp may lag behind.
  return ::fdatasync(::fileno(file)) == 0;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
}

bool platform_sync_directory(const std::string& dir) {
  // A directory this process may not open, or a file system that cannot sync directories
  // (EINVAL, ENOTSUP), leaves nothing to force: only a failed write-out is a failure.
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return true;
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int error = errno;
  ::close(fd);
  errno = error;
  return ok;
}

bool platform_can_sync_file_system() {
#if defined(__linux__)
  return true;
#else
  return false;
#endif
}

bool platform_sync_file_system(const std::string& dir) {
#if defined(__linux__)
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::syncfs(fd) == 0;
  const int error = errno;
  ::close(fd);
  errno = error;
  return ok;
#else
  (void)dir;
  errno = ENOSYS;
  return false;
#endif
}

bool platform_seek(std::FILE* file, std::uint64_t offset) {
  if (file == nullptr) return false;
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> platform_file_size(std::FILE* file) {
  if (file == nullptr) return std::nullopt;
  struct stat st;
  if (::fstat(::fileno(file), &st) != 0) return std::nullopt;
  if (st.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

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
  // O_EXCL makes a new regular file, which never blocks an open: no non-blocking round trip.
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
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
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    error = errno;
    ::close(fd);
    ::unlink(path.c_str());
  }
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

std::optional<std::string> platform_home_trash_dir() {
  // A relative XDG_DATA_HOME is ignored, as the base directory rules ask.
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return std::nullopt;
  return std::string(home) + "/.local/share/Trash";
}

std::string platform_local_time_text(std::int64_t t) {
  const std::time_t time = static_cast<std::time_t>(t);
  std::tm local{};
  if (::localtime_r(&time, &local) == nullptr) return {};
  char text[32];
  if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local) == 0) return {};
  return text;
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

bool platform_list_directory(
    const std::string& dir,
    const std::function<void(const char* name, bool is_directory, bool is_symlink)>& each) {
  DIR* stream = ::opendir(dir.c_str());
  if (stream == nullptr) return false;
  const int fd = ::dirfd(stream);
  errno = 0;
  while (const struct dirent* entry = ::readdir(stream)) {
    const char* name = entry->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    bool is_directory = entry->d_type == DT_DIR;
    bool is_symlink = entry->d_type == DT_LNK;
    struct stat st;
    if (entry->d_type == DT_UNKNOWN && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      is_symlink = S_ISLNK(st.st_mode);
      is_directory = S_ISDIR(st.st_mode);
    }
    each(name, is_directory, is_symlink);
    errno = 0;
  }
  const bool complete = errno == 0;
  const int error = errno;
  ::closedir(stream);
  errno = error;  // why the listing stopped, not what the close left
  return complete;
}

}  // namespace qdb
