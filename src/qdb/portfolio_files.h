// Names inside a portfolio, matched without regard to case, resolved from one listing. The safe
// replacement of a file (StagedFile, replace_file) comes along, as most users of names need it.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
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
  // False when the directory could not be listed (then nothing resolves to an entry).
  bool ok() const { return m_ok; }

 private:
  std::string m_dir;
  bool m_ok = false;
  std::vector<std::string> m_names;  // listing order
  // Names by their exact text and by their ASCII lower-case form (the first listed of those
  // that fold alike), so a lookup costs the same whatever the directory holds.
  std::unordered_map<std::string, std::size_t> m_exact;
  std::unordered_map<std::string, std::size_t> m_folded;
};

// "F<n>.DAT", "F<n>.DOP", "F<n>.BAK", "F<n>.NEW".
std::string data_file_name(int file_number, std::string_view extension);
// Splits "dir/name" into the directory (with its separator) and the last component.
std::pair<std::string, std::string> split_path(std::string_view path);
// Resolves the last component of path in its directory without regard to case: path itself
// when it names an existing entry, else the entry whose name matches, else path.
std::string resolve_path(std::string_view path);

}  // namespace qdb
