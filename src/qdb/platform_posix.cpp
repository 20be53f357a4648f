// Host calls behind platform.h: POSIX, with the Windows runtime's equivalents.
#include "qdb/platform.h"

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace qdb {

bool platform_sync_file(std::FILE* file) {
  if (file == nullptr) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return ::fsync(::fileno(file)) == 0;
#endif
}

bool platform_sync_directory(const std::string& dir) {
#ifdef _WIN32
  (void)dir;  // NTFS makes a completed rename durable with the file's own metadata.
  return true;
#else
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
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

}  // namespace qdb
