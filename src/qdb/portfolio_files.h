// Names inside a portfolio, matched without regard to case, resolved from one listing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/platform.h"

namespace qdb {

// One listing of a directory, taken once per operation and indexed by name. resolve() gives the
// path of the existing entry whose name equals name without regard to case, or dir + name when none
// does, so creating and replacing reuse an existing entry's exact name.
class DirListing {
 public:
  // dir ends in a separator (or is empty for the current directory).
  explicit DirListing(std::string dir);
  const std::string& dir() const { return m_dir; }
  std::string resolve(std::string_view name) const;
  bool contains(std::string_view name) const;
  // Records that name now exists (after a create), so later resolves reuse it.
  void add(std::string_view name);
  // False when the directory could not be listed (then nothing resolves to an entry).
  bool ok() const { return m_ok; }

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::string_view name_at(std::uint32_t index) const;
  // The slot of the first-listed entry that folds like name, or the empty slot where it would
  // go.
  std::size_t slot_of(std::string_view name, std::uint32_t hash) const;
  // Keeps name after the others (append), then enters it in the table (place).
  void insert(std::string_view name);
  void append(std::string_view name);
  void place(std::uint32_t index);
  void grow();

  std::string m_dir;
  bool m_ok = false;
  // Every name, one after the other in listing order; m_ends[i] is where name i ends. A few
  // flat arrays instead of a node per name: a vendor directory of thousands of files is
  // indexed in a fraction of a millisecond and a few pages of memory.
  std::string m_text;
  std::vector<std::uint32_t> m_ends;
  // Open addressing by the ASCII lower-case form of a name: the first listed of the names that
  // fold alike (m_slots), and from each name the next listed one that folds like it (m_alike),
  // so an exact match can win over a case-blind one. A lookup costs the same whatever the
  // directory holds.
  std::vector<std::uint32_t> m_slots;
  std::vector<std::uint32_t> m_alike;
  std::vector<std::uint32_t> m_hashes;  // of each name's folded form, for probes and growth
};

// "F<n>.DAT", "F<n>.DOP", "F<n>.BAK", "F<n>.NEW".
std::string data_file_name(int file_number, std::string_view extension);
// Splits "dir/name" into the directory (with its separator) and the last component.
std::pair<std::string, std::string> split_path(std::string_view path);
// Resolves the last component of path in its directory without regard to case: path itself
// when it names an existing entry, else the entry whose name matches, else path.
std::string resolve_path(std::string_view path);

// A replacement of target in two steps, so that two files can be completed before either takes
// its place. write() builds the complete new file under a temporary name of its own (temp_path,
// or temp_path with a unique suffix when that name is taken), created exclusively and never
// through a link, with target's permission bits and owner; every write is checked, and the file
// is synced and closed. commit() checks that target is still the file that was read (expected:
// same device, inode, size and modification time; nullopt: no check) and renames the new file
// over it in one step. A staged file that is not committed is removed when it goes away. Every
// failure notes its cause (failure.h).
class StagedFile {
 public:
  StagedFile(std::string target, std::string temp_path,
             std::optional<FileIdentity> expected = std::nullopt, std::string like = {});
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // writer returns false to abort.
  bool write(const std::function<bool(WriteFile&)>& writer);
  bool commit();
  // Removes the new file now (nothing happens after a commit).
  void discard();
  const std::string& target() const { return m_target; }

 private:
  std::string m_target;
  std::string m_temp_base;
  std::optional<FileIdentity> m_expected;
  std::string m_like;
  std::string m_temp;  // the name actually created; empty when none exists
  bool m_written = false;
};

// Writes a complete new file beside target (a StagedFile named after temp_path), checks every
// write, syncs it and renames it over target in one step. On any failure the temporary file is
// removed and target is left untouched. writer returns false to abort. With expected, target
// must still be that file.
bool replace_file(const std::string& target, const std::string& temp_path,
                  const std::function<bool(WriteFile&)>& writer,
                  const std::optional<FileIdentity>& expected = std::nullopt);

}  // namespace qdb
