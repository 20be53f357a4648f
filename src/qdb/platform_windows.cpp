// Host calls behind platform.h on Windows, through its C runtime and a few Win32 calls.
#include "qdb/platform.h"

#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace qdb {

bool platform_is_separator(char c) { return c == '\\' || c == '/' || c == ':'; }

bool platform_sync_file(std::FILE* file) {
  if (file == nullptr) return false;
  return _commit(_fileno(file)) == 0;
}

bool platform_sync_directory(const std::string& dir) {
  (void)dir;  // NTFS makes a completed rename durable with the file's own metadata.
  return true;
}

bool platform_seek(std::FILE* file, std::uint64_t offset) {
  if (file == nullptr) return false;
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

std::optional<std::uint64_t> platform_file_size(std::FILE* file) {
  if (file == nullptr) return std::nullopt;
  struct _stat64 st;
  if (_fstat64(_fileno(file), &st) != 0) return std::nullopt;
  if (st.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

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

// The desktop trash offered is the XDG one; the Windows Recycle Bin is not, so this host has
// no trash and deletes move nothing.
std::optional<std::string> platform_home_trash_dir() { return std::nullopt; }

std::string platform_local_time_text(std::int64_t t) {
  const std::time_t time = static_cast<std::time_t>(t);
  std::tm local{};
  if (localtime_s(&local, &time) != 0) return {};
  char text[32];
  if (std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local) == 0) return {};
  return text;
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

// Windows has no call that syncs a whole file system for a caller without administrator rights:
// each file of a batch is synced itself.
bool platform_can_sync_file_system() { return false; }

bool platform_sync_file_system(const std::string& /*dir*/) {
  errno = ENOSYS;
  return false;
}

bool platform_list_directory(
    const std::string& dir,
    const std::function<void(const char* name, bool is_directory, bool is_symlink)>& each) {
  std::error_code ec;
  std::filesystem::directory_iterator it(
      dir.empty() ? std::filesystem::path(".") : std::filesystem::path(dir), ec);
  if (ec) return false;
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    std::error_code type_ec;
    const bool is_symlink = it->is_symlink(type_ec) && !type_ec;
    const bool is_directory = !is_symlink && it->is_directory(type_ec) && !type_ec;
    each(it->path().filename().string().c_str(), is_directory, is_symlink);
  }
  return !ec;
}

}  // namespace qdb
