// One change of several files of a portfolio, made as a whole or not at all.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qdb/error.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "qdb/staged_file.h"

namespace qdb {

// How a staged file is written and what it replaces.
struct Staging {
  // The new file's name while it is written: the target's name plus temp_suffix, or temp_name
  // when given ("F1.NEW" for F1.DAT). Matched without regard to case like every name.
  std::string_view temp_suffix = suffix::kNew;
  std::string temp_name;
  // The target as the caller read it: the commit refuses to replace another file ("<name> was
  // changed by another program"). nullopt: not checked.
  std::optional<FileIdentity> expected;
  // The target's content as read, put back when a later step fails. Without it, a target that
  // existed is put back from the backup() made of it.
  std::optional<std::string> original;
  // The file whose permission bits and owner a target that does not exist yet takes; empty: the
  // default of the directory.
  std::string like;
  // For a transaction of many files: where the file system syncs every file in one call
  // (FileSystem::can_sync_all), the new file is not synced on its own (StagedFile::defer_syncs)
  // and the commit's one sync_all forces them all to the disk before the first rename.
  bool defer_sync = false;
};

// The files of one portfolio directory changed together. Callers hold the portfolio lock
// (PortfolioLock) for the transaction's lifetime, and name files by their names in the
// directory, matched without regard to case through one listing, so an existing file is
// replaced under its own name whatever its case.
//
//   1. backup() copies a file to its backup before anything is staged;
//   2. stage() writes each new file completely beside its target (StagedFile: created
//      exclusively, every write checked, synced); remove() marks a file to go;
//   3. commit() checks that every target is still the file its caller read, renames the new files
//      over their targets in a fixed order (other files, then XMASTER, EMASTER and MASTER last,
//      so a program that reads the MASTER first sees the change only once the others hold it),
//      removes the files marked, and syncs the directory.
//
// When any step fails, every file already replaced or removed gets its old content back (a file
// created is removed), so the portfolio is as it was; the failing step answers its Error
// (kFileWrite, its cause naming the file and the reason), and restore_failed() names what could not
// be put back. A transaction that is not committed leaves no new file behind. In a directory
// that could not be listed every step fails with the listing's Error, and nothing changes.
class PortfolioTransaction {
 public:
  // dir ends in a separator (or is empty for the current directory).
  explicit PortfolioTransaction(std::string dir);
  // Names are resolved through listing (of the portfolio's directory), kept up to date.
  explicit PortfolioTransaction(DirListing listing);
  ~PortfolioTransaction();
  PortfolioTransaction(const PortfolioTransaction&) = delete;
  PortfolioTransaction& operator=(const PortfolioTransaction&) = delete;

  // The path of name in the directory: the existing entry's whatever its case, else dir + name.
  std::string path_of(std::string_view name) const;
  const DirListing& listing() const { return m_listing; }

  // Copies the existing file name to backup_name now; the Error when the copy fails. The copy
  // is also where a later failure puts name back from when its content is not held.
  Result<void> backup(std::string_view name, std::string_view backup_name);

  // Stages bytes as the new content of name. The Error when the new file could not be written
  // completely; nothing has changed then, and commit() answers the same Error.
  Result<void> stage(std::string_view name, std::string_view bytes, const Staging& how = {});
  // The same, with the content written by writer (false from writer aborts, with an empty
  // cause: the writer knows why).
  Result<void> stage(std::string_view name, const std::function<bool(WriteFile&)>& writer,
                     const Staging& how = {});
  // Marks name to be removed by the commit, after the renames. original (its content), when
  // given, is written back should a later step fail.
  void remove(std::string_view name, std::optional<std::string> original = std::nullopt);

  // Puts every staged file in place (see above). Nothing when all did; the failing step's Error
  // otherwise, with the portfolio as it was unless restore_failed() names files. A transaction
  // commits once; nothing staged commits trivially.
  Result<void> commit();
  // The paths that a failed commit could not put back, each after a line break; empty when
  // every file was restored.
  const std::string& restore_failed() const { return m_restore_failed; }

 private:
  struct Entry;

  Result<void> add(std::string_view name, const std::function<bool(WriteFile&)>& writer,
                   const Staging& how);
  // The Error of every step when the directory could not be listed (the commit's too).
  Error refused();
  bool restore(const Entry& entry);
  // Discards the new files, puts back those already in place, and answers error.
  Error fail(Error error);

  DirListing m_listing;
  std::vector<std::unique_ptr<Entry>> m_entries;               // in the order staged
  std::vector<std::pair<std::string, std::string>> m_backups;  // file and backup paths
  std::vector<Entry*> m_done;     // renamed into place or removed, in that order
  std::optional<Error> m_failed;  // the first stage that failed
  bool m_committed = false;
  bool m_deferred_sync = false;  // a staged file waits for the commit's one sync
  std::string m_restore_failed;
};

}  // namespace qdb
