// Names inside a portfolio, matched without regard to case, resolved from one listing. The safe
// replacement of a file (StagedFile, replace_file) comes along, as most users of names need it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/platform.h"
#include "qdb/staged_file.h"

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
  // False when the directory could not be listed (then nothing resolves to an entry). Such a
  // listing says nothing about what the directory holds: a caller that decides from it whether
  // a file exists answers error() instead.
  bool ok() const { return m_ok; }
  // Why the listing failed: kFileOpen, the cause naming the directory and the system's reason.
  Error error() const;

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
  int m_errno = 0;  // of a failed listing
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

}  // namespace qdb
