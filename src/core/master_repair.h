// Rebuilding a damaged MASTER: backup, blank-symbol fill, records with a file number already
// used dropped (each reported), empty slots dropped, sub-portfolio "<DIR>" entries kept, the
// header count corrected.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qdb/portfolio_files.h"

namespace core {

// How the repair talks to its caller: the app shows CFixMasterDlg, the CLI answers itself.
class RepairObserver {
 public:
  virtual ~RepairObserver() = default;
  // Asked before anything is touched; false declines the repair.
  virtual bool confirm(const std::string& message) = 0;
  // Called once per record dropped: its file number was already used, or the end of the file
  // cut it off.
  virtual void report_dropped(const std::string& message) = 0;
  // Called before each report (the app sounds the information beep).
  virtual void beep() {}
};

enum class RepairOutcome {
  kRepaired,  // the rebuilt file is in place
  kDeclined,  // the confirmation was declined; nothing was touched
  kFailed,    // a file step failed; the MASTER is unchanged
};

struct RepairResult {
  RepairOutcome outcome = RepairOutcome::kFailed;
  int kept = 0;          // records in the rebuilt file
  int dropped = 0;       // records dropped for a file number already used
  bool cut_off = false;  // a piece of a last record, cut off by the end of the file, was dropped
  int empty_slots = 0;   // records with file number 0 (other than "<DIR>" entries), dropped
  bool backup_made = false;
  std::string backup_path;  // MASTER.bak: the backup made, or the one already there
  // The repair's own backup of the file as it was (repair_backup_name), made by every repair.
  // No other command writes such a name, so it outlasts later MASTER.BAK writes whatever the
  // disk's treatment of case.
  std::string repair_backup_path;
  std::string failure;  // what failed, in plain words (kFailed only)
};

// The confirmation and report texts. The confirmation lists problems, when given, after the
// question: what the checks found wrong (the first ten, then how many more).
std::string repair_confirmation_message(const std::string& master_path,
                                        const std::vector<std::string>& problems = {});
std::string repair_report_message(const std::string& issue_name, const std::string& symbol,
                                  int file_number);
// The report of a last entry cut off by the end of the file (bytes of its 53 held), which the
// rebuild drops: what of it can be read.
std::string cut_off_report_message(const std::string& issue_name, const std::string& symbol,
                                   int file_number, int bytes);

// "MASTER.repair<k>.bak" with k the lowest number from 1 whose name (any case) the listing
// does not hold: a repair's backup that nothing else replaces.
std::string repair_backup_name(const qdb::DirListing& listing, std::string_view master_name);

// Rebuilds the MASTER at master_path (its name resolved without regard to case). Unless
// auto_repair is set, observer.confirm decides first; the portfolio is then locked. A copy is
// kept as MASTER.bak unless a file of that name (any case) exists, and always as the repair's
// own backup (repair_backup_name); when either copy fails the repair stops with the MASTER
// unchanged. The rebuilt file is written completely beside the MASTER (MASTER.tmp), synced and
// renamed over it in one step, only while the MASTER is still the file that was read, so on
// any failure the MASTER stays as it was.
RepairResult RepairMaster(const std::string& master_path, RepairObserver& observer,
                          bool auto_repair = false);

}  // namespace core
