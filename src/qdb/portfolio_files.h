// Names inside a portfolio, matched without regard to case, resolved from one listing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"

namespace qdb {

// The platform's directory separator.
inline constexpr char kSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// One listing of a directory, taken once per operation. resolve() gives the path of the
// existing entry whose name equals name without regard to case, or dir + name when none does,
// so creating and replacing reuse an existing entry's exact name.
class DirListing {
 public:
  // dir ends in a separator (or is empty for the current directory).
  explicit DirListing(std::string dir);
  const std::string& dir() const { return m_dir; }
  std::string resolve(std::string_view name) const;
  bool contains(std::string_view name) const;
  // Records that name now exists (after a create), so later resolves reuse it.
  void add(std::string_view name);

 private:
  std::string m_dir;
  std::vector<DirEntry> m_entries;
};

// "F<n>.DAT", "F<n>.DOP", "F<n>.BAK", "F<n>.NEW".
std::string data_file_name(int file_number, std::string_view extension);
// Splits "dir/name" into the directory (with its separator) and the last component.
std::pair<std::string, std::string> split_path(std::string_view path);
// Resolves the last component of path in its directory without regard to case: path itself
// when it names an existing entry, else the entry whose name matches, else path.
std::string resolve_path(std::string_view path);

// Writes a complete new file beside target (temp_name in the same directory), checks every
// write, syncs it and renames it over target in one step. On any failure the temporary file is
// removed and target is left untouched. writer returns false to abort.
class WriteFile;
bool replace_file(const std::string& target, const std::string& temp_path,
                  const std::function<bool(WriteFile&)>& writer);

}  // namespace qdb
