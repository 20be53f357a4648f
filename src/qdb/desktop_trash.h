// The user's desktop trash (the freedesktop.org trash layout): a file moved there keeps its
// bytes under Trash/files and a Trash/info/<name>.trashinfo that records where it came from
// and when, so a file manager can show it and put it back.
#pragma once

#include <cstdint>
#include <string>

#include "qdb/error.h"

namespace qdb {

// The home trash when it can take the files of dir: dir and the trash (or its nearest
// existing parent, before its first use) are on one file system, since a move there is a
// rename and a rename does not cross file systems. Otherwise an Error whose cause says why
// ("The desktop trash <dir> is on another file system than <dir>").
Result<std::string> home_trash_for(const std::string& dir);

// Moves the file at path into trash (a directory from home_trash_for): writes a new
// info/<name>.trashinfo first, taken only when no entry of that name exists (else
// "<stem>.2<.ext>", ".3", ...), then renames the file to files/<name>. When the rename fails
// the info file is removed again and the file stays where it was. The name given in the trash.
Result<std::string> move_to_trash(const std::string& trash, const std::string& path);

// The content of a .trashinfo for the file at absolute_path deleted at the given local time
// ("YYYY-MM-DDThh:mm:ss").
std::string trash_info_text(const std::string& absolute_path, const std::string& deleted_at);

// path with every byte outside the unreserved URI characters and '/' written as %XX.
std::string percent_encode_path(const std::string& path);

}  // namespace qdb
