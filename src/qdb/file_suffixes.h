// The names a file takes beside its target while it is written, and the names of the backups
// the commands keep. Every caller picks its suffix here, so the names other programs and the
// user may see stay the ones they have always been.
#pragma once

#include <string_view>

namespace qdb::suffix {

// A new file while it is written, appended to its target's name ("MASTER.NEW", "EMASTER.NEW",
// "F1.DOP.NEW"): the quote rewrite's index files, the symbol rename's, new portfolios. A data
// file's new content takes the extension instead ("F1.NEW", data_file_name(n, kNewExtension)).
inline constexpr std::string_view kNew = ".NEW";
inline constexpr std::string_view kNewExtension = "NEW";
// A new index file of the commands that take entries out or add them (delete, move and copy of a
// symbol): "MASTER.~NU". Another name than a rename's, as other tools of the family use.
inline constexpr std::string_view kNewIndex = ".~NU";
// A new file of a repair or of a file the user names (the repaired MASTER, split search lists,
// chart pictures): "MASTER.tmp".
inline constexpr std::string_view kNewRepair = ".tmp";
// A copy while it is written (copy_file: backups, data files copied to another portfolio, and a
// data file put back from its backup): "F1.BAK.tmp~".
inline constexpr std::string_view kCopy = ".tmp~";
// An index file's old content while it is written back after a failed change: "MASTER.~RS".
inline constexpr std::string_view kRestore = ".~RS";

// The backup a command keeps of a file it replaces: "MASTER.BAK", "EMASTER.BAK". A data file's
// backup takes the extension instead: "F1.BAK" (data_file_name(n, kBackupExtension)).
inline constexpr std::string_view kBackup = ".BAK";
inline constexpr std::string_view kBackupExtension = "BAK";
// The backup from before the first repair, never replaced once there: "MASTER.bak".
inline constexpr std::string_view kRepairBackup = ".bak";
// Each repair's own backup, "MASTER.repair<k>.bak": kRepairBackupPart, k, kRepairBackup.
inline constexpr std::string_view kRepairBackupPart = ".repair";

}  // namespace qdb::suffix
