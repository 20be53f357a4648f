// The thin file-system seam every library and core operation goes through, so tests can make
// a step (create, write, flush, rename, ...) fail part-way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/error.h"
#include "qdb/platform.h"

namespace qdb {

// Device, inode, size and modification time of a file: whether it is still the one read.
using FileIdentity = PlatformIdentity;

class ReadFile {
 public:
  virtual ~ReadFile() = default;
  // Reads up to n bytes; returns the number read (short at end of file or on error).
  virtual std::size_t read(void* buffer, std::size_t n) = 0;
  virtual bool seek(std::uint64_t offset) = 0;
  // Size of the file in bytes.
  virtual std::uint64_t size() = 0;
  // Identity of the open file; nullopt where it cannot be told.
  virtual std::optional<FileIdentity> identity() { return std::nullopt; }
};

class WriteFile {
 public:
  virtual ~WriteFile() = default;
  // Writes all n bytes; false when any of them could not be written.
  virtual bool write(const void* buffer, std::size_t n) = 0;
  // Flushes buffers and forces the content to the disk.
  virtual bool sync() = 0;
  // Closes the file; false when the close reported an error. Destruction closes too.
  virtual bool close() = 0;
};

struct DirEntry {
  std::string name;
  bool is_directory = false;
  bool is_symlink = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Opens a regular file for reading; never blocks. nullptr when path does not open, errno
  // telling why (kErrorNotRegular: the entry is a directory, FIFO or device).
  virtual std::unique_ptr<ReadFile> open_read(const std::string& path) = 0;
  // Creates or empties the file for writing.
  virtual std::unique_ptr<WriteFile> create(const std::string& path) = 0;
  // Creates path only when no entry of that name exists, never through a link, and gives it
  // the permission bits (and, where allowed, owner and group) of the regular file like when
  // there is one. nullptr on failure, errno telling why (EEXIST: the name is taken).
  virtual std::unique_ptr<WriteFile> create_new(const std::string& path,
                                                const std::string& like) = 0;
  // Identity of the entry at path (a link itself, not its target); nullopt when none.
  virtual std::optional<FileIdentity> identity(const std::string& path) = 0;
  // Renames from over to in one step, replacing an existing to. The new entry is durable only
  // once its directory is synced (sync_directory).
  virtual bool rename(const std::string& from, const std::string& to) = 0;
  // Forces the entries of dir (renames and removals inside it) to the disk; false with errno
  // set when that failed. The native one by default.
  virtual bool sync_directory(const std::string& dir);
  // Removes the entry; false with errno ENOENT when there was none.
  virtual bool remove(const std::string& path) = 0;
  virtual bool exists(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> file_size(const std::string& path) = 0;
  // Entries of a directory (without "." and ".."); nullopt when it can't be read.
  virtual std::optional<std::vector<DirEntry>> list(const std::string& dir) = 0;

  // For a batch of new files in one directory, synced together rather than one by one.
  // Whether sync_all does its work in one call here; when not, each file is synced itself.
  virtual bool can_sync_all() { return false; }
  // Forces every file written on the file system holding dir to the disk (syncfs).
  virtual bool sync_all(const std::string& /*dir*/) { return false; }
  // Creates the directory dir and any missing parents; true when it exists afterwards as a
  // directory.
  virtual bool create_directory(const std::string& dir);
  // The same entries handed to each one by one, without a list of them all; false when the
  // directory can't be read. By default through list(), so a replaced list() rules both.
  virtual bool list_each(const std::string& dir, const std::function<void(const DirEntry&)>& each);
  // The names alone, as list_each gives them: what a portfolio's name index needs.
  virtual bool list_names(const std::string& dir,
                          const std::function<void(std::string_view name)>& each);
};

// The real file system.
FileSystem& native_file_system();
// The file system in use (the native one unless a test installed another).
FileSystem& file_system();
// Installs fs (nullptr restores the native one). Returns the previous one.
FileSystem* set_file_system(FileSystem* fs);

// Copies a file through the seam into a new file written completely, synced and renamed into
// place (via to + suffix::kCopy). The Error of the failing step, leaving to unchanged.
Result<void> copy_file(const std::string& from, const std::string& to);

// "<name> is not a regular file" when path names a directory, FIFO or device (open_read
// refuses it with kErrorNotRegular); empty otherwise. What a read that answers only a status
// adds to its message.
std::string not_regular_cause(const std::string& path);

}  // namespace qdb
