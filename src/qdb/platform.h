// The few operations that need the host platform's own calls. Everything platform-specific in
// the library lives behind these functions (platform_posix.cpp, platform_windows.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace qdb {

// The separator this host writes between path components.
inline constexpr char kSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Whether c ends the directory part of a path: '/', and on Windows also '\\' and a drive's ':'.
bool platform_is_separator(char c);

// Forces the content of an open file to the disk (its stdio buffer must be flushed already).
bool platform_sync_file(std::FILE* file);
// Forces a directory's entries (a rename inside it) to the disk. Hosts and file systems that
// have no such operation, and a directory this process cannot open, answer true; false (errno
// set) when the write-out failed.
bool platform_sync_directory(const std::string& dir);
// Whether this host forces every file written on one file system to the disk in one call
// (syncfs on Linux); where it cannot, a batch of new files syncs each file instead.
bool platform_can_sync_file_system();
// Forces every file written on the file system holding dir to the disk in one call. False
// when that failed or the host has no such call (errno set).
bool platform_sync_file_system(const std::string& dir);
// Positions a file at a byte offset that may exceed the range of long.
bool platform_seek(std::FILE* file, std::uint64_t offset);
// Size of an open file; nullopt when it cannot be told.
std::optional<std::uint64_t> platform_file_size(std::FILE* file);

// What tells one file from another that took its name: device, inode, size, modification time.
struct PlatformIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified_ns = 0;
  bool operator==(const PlatformIdentity&) const = default;
};

// Opens path for reading without ever blocking (a FIFO or device answers at once) and only
// when it is a regular file. nullptr on failure, with error set to the system's error number,
// or to 0 with not_regular set when path names something other than a regular file.
std::FILE* platform_open_read(const std::string& path, int& error, bool& not_regular);
// Creates path for writing only when no entry of that name exists (never through a link).
// When like names an existing regular file, the new file takes its permission bits and, where
// the process may, its owner and group. nullptr on failure with error set.
std::FILE* platform_create_new(const std::string& path, const std::string& like, int& error);
// Identity of an open file, or of the entry at path itself (a link is not followed).
std::optional<PlatformIdentity> platform_identity(std::FILE* file);
std::optional<PlatformIdentity> platform_path_identity(const std::string& path);
// The path with every link and "." / ".." resolved; nullopt when it does not exist.
std::optional<std::string> platform_real_path(const std::string& path);

// The user's home trash directory ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash) as
// the environment names it; nullopt when it names none, and on hosts without that kind of
// desktop trash (Windows: its Recycle Bin is not offered).
std::optional<std::string> platform_home_trash_dir();
// The local time of t as "YYYY-MM-DDThh:mm:ss"; empty when it cannot be told.
std::string platform_local_time_text(std::int64_t t);

// A directory held open for locking; -1 when it cannot be opened.
using DirectoryHandle = std::intptr_t;
DirectoryHandle platform_open_directory(const std::string& dir);
// Takes the exclusive lock of an open directory without waiting; false when another holder
// (another process, or another handle of this one) has it.
bool platform_try_lock_directory(DirectoryHandle handle);
// Releases the lock (if held) and closes the handle.
void platform_close_directory(DirectoryHandle handle);
std::optional<PlatformIdentity> platform_directory_identity(DirectoryHandle handle);

#ifndef _WIN32
// Hands each entry of dir but "." and ".." to each: its name and whether it is a directory or
// a symbolic link, as the entry itself records them (a stat only where the file system does
// not). False when the directory can't be read to its end.
bool platform_list_directory(
    const std::string& dir,
    const std::function<void(const char* name, bool is_directory, bool is_symlink)>& each);
#endif

}  // namespace qdb
