#include "qdb/desktop_trash.h"

#include <cerrno>
#include <ctime>

#include "qdb/file_system.h"
#include "qdb/platform.h"

namespace qdb {
namespace {

// The directory part of path ("" for a bare name), without its last separator.
std::string parent_of(const std::string& path) {
  std::size_t end = path.size();
  while (end > 1 && platform_is_separator(path[end - 1])) --end;
  while (end > 0 && !platform_is_separator(path[end - 1])) --end;
  while (end > 1 && platform_is_separator(path[end - 1])) --end;
  return path.substr(0, end);
}

std::string name_of(const std::string& path) {
  std::size_t start = path.size();
  while (start > 0 && !platform_is_separator(path[start - 1])) --start;
  return path.substr(start);
}

// The device of the file system holding path: of path itself, or of its nearest existing
// parent when it does not exist yet. Links are followed, as a rename into it would be.
std::optional<std::uint64_t> device_of(std::string path) {
  for (int depth = 0; depth < 256 && !path.empty(); ++depth) {
    if (const auto real = platform_real_path(path)) {
      if (const auto identity = file_system().identity(*real)) return identity->device;
      return std::nullopt;
    }
    const std::string parent = parent_of(path);
    if (parent == path) break;
    path = parent;
  }
  return std::nullopt;
}

// name with ".<n>" put before its extension: F3.DAT -> F3.2.DAT.
std::string numbered_name(const std::string& name, int n) {
  const std::size_t dot = name.rfind('.');
  const std::string suffix = "." + std::to_string(n);
  if (dot == std::string::npos || dot == 0) return name + suffix;
  return name.substr(0, dot) + suffix + name.substr(dot);
}

}  // namespace

Result<std::string> home_trash_for(const std::string& dir) {
  const std::optional<std::string> trash = platform_home_trash_dir();
  if (!trash) return Error{kFileWrite, "There is no desktop trash on this system."};
  const auto trash_device = device_of(*trash);
  const auto dir_device = device_of(dir.empty() ? "." : dir);
  if (!trash_device || !dir_device) {
    return Error{kFileWrite, "The desktop trash " + *trash + " can't be reached."};
  }
  if (*trash_device != *dir_device) {
    return Error{kFileWrite, "The desktop trash " + *trash + " is on another file system than " +
                                 (dir.empty() ? std::string(".") : dir) + "."};
  }
  return *trash;
}

std::string percent_encode_path(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                       byte == '~' || byte == '/';
    if (plain) {
      text += c;
    } else {
      text += '%';
      text += kHex[byte >> 4];
      text += kHex[byte & 15];
    }
  }
  return text;
}

std::string trash_info_text(const std::string& absolute_path, const std::string& deleted_at) {
  return "[Trash Info]\nPath=" + percent_encode_path(absolute_path) +
         "\nDeletionDate=" + deleted_at + "\n";
}

Result<std::string> move_to_trash(const std::string& trash, const std::string& path) {
  FileSystem& files = file_system();
  const std::string files_dir = trash + kSeparator + "files";
  const std::string info_dir = trash + kSeparator + "info";
  if (!files.create_directory(files_dir)) return last_error_of(files_dir);
  if (!files.create_directory(info_dir)) return last_error_of(info_dir);
  const std::optional<std::string> real_dir = platform_real_path(parent_of(path));
  if (!real_dir) return last_error_of(path, kFileNotFound);
  const std::string name = name_of(path);
  const std::string info =
      trash_info_text(*real_dir + kSeparator + name,
                      platform_local_time_text(static_cast<std::int64_t>(std::time(nullptr))));

  // The .trashinfo is taken exclusively first: its name reserves the name under files/ too,
  // since another program trashing at the same time picks its names the same way.
  for (int n = 1; n < 10000; ++n) {
    const std::string trashed = n == 1 ? name : numbered_name(name, n);
    const std::string info_path = info_dir + kSeparator + trashed + ".trashinfo";
    errno = 0;
    std::unique_ptr<WriteFile> out = files.create_new(info_path, "");
    if (!out) {
      if (errno == EEXIST) continue;
      return last_error_of(info_path);
    }
    const bool written = out->write(info.data(), info.size()) && out->sync() && out->close();
    const std::string target = files_dir + kSeparator + trashed;
    // A name free under info/ but taken under files/ (left by a program that stopped
    // half-way) is passed over, so no file in the trash is ever replaced.
    if (written && files.exists(target)) {
      out.reset();
      files.remove(info_path);
      continue;
    }
    if (!written || !files.rename(path, target)) {
      const Error error = last_error_of(written ? path : info_path);
      out.reset();
      files.remove(info_path);
      return error;
    }
    files.sync_directory(files_dir);
    files.sync_directory(parent_of(path));
    return trashed;
  }
  return Error{kFileExists, name + ": the desktop trash has no free name for it"};
}

}  // namespace qdb
