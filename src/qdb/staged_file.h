// The one safe way of replacing a file: the complete new file written beside it, synced, and
// renamed over the old one in one step.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "qdb/error.h"
#include "qdb/file_system.h"

namespace qdb {

// A replacement of target in two steps, so that several files can be completed before any takes
// its place. write() builds the complete new file under a temporary name of its own (temp_path,
// or temp_path with a unique suffix when that name is taken), created exclusively and never
// through a link, with the permission bits and owner of like (target when empty); every write is
// checked, and the file is synced and closed. commit() checks that target is still the file that
// was read (expected: same device, inode, size and modification time; nullopt: no check), renames
// the new file over it in one step and syncs the directory. A staged file that is not committed
// is removed when it goes away. Every failure answers its Error (kFileWrite, the cause naming
// the target and the system's reason).
class StagedFile {
 public:
  StagedFile(std::string target, std::string temp_path,
             std::optional<FileIdentity> expected = std::nullopt, std::string like = {});
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // writer returns false to abort (the Error's cause is then empty: the writer knows why).
  Result<void> write(const std::function<bool(WriteFile&)>& writer);
  // Whether target is still the file that was read (always, without an expected identity);
  // when not, the Error "<name> was changed by another program". commit() asks it too, so a
  // change of several files can ask every one before any takes its place.
  Result<void> target_unchanged() const;
  // With sync_directory false the caller syncs the directory itself (once for several files).
  // The directory sync comes after the rename: its failure does not undo it, and answers a
  // kNotConfirmed Error (the file is in place, but not known to be on the disk).
  Result<void> commit(bool sync_directory = true);
  // Removes the new file now (nothing happens after a commit).
  void discard();
  // One file of a batch in one directory: where the file system syncs every file in one call
  // (FileSystem::can_sync_all), write() leaves the file unsynced for the caller's one sync_all
  // before the first commit.
  void defer_syncs() { m_deferred = true; }
  // For a target known not to exist (from a listing): the new file takes the default
  // permission bits without a look at the target.
  void take_default_mode() { m_like.clear(); }
  // The temporary file's name while one exists (empty otherwise).
  const std::string& temp_path() const { return m_temp; }
  const std::string& target() const { return m_target; }

 private:
  std::string m_target;
  std::string m_temp_base;
  std::optional<FileIdentity> m_expected;
  std::string m_like;
  std::string m_temp;  // the name actually created; empty when none exists
  bool m_written = false;
  bool m_deferred = false;
};

// Forces dir (ending in a separator, or empty for the current directory) to the disk
// (FileSystem::sync_directory); the Error naming the directory when that failed.
Result<void> sync_directory(const std::string& dir);

// Writes a complete new file beside target (a StagedFile named after temp_path), checks every
// write, syncs it and renames it over target in one step. On any failure the temporary file is
// removed and target is left untouched. writer returns false to abort. With expected, target
// must still be that file.
Result<void> replace_file(const std::string& target, const std::string& temp_path,
                          const std::function<bool(WriteFile&)>& writer,
                          const std::optional<FileIdentity>& expected = std::nullopt);

}  // namespace qdb
