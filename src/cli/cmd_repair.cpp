// dorvane-cli repair DIR: rebuilds a damaged MASTER, answering the confirmation itself.
#include "cli/command.h"
#include "core/index_agreement.h"
#include "core/master_check.h"
#include "core/master_dates.h"
#include "core/master_repair.h"
#include "qdb/failure.h"
#include "qdb/master_file.h"

namespace {

int run_repair(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "repair",
    "repair DIR",
    "Repair the MASTER of portfolio DIR when the checks find it damaged, and correct first and "
    "last dates that disagree with the data files; keeps the file as it was as "
    "MASTER.repair<k>.bak (and MASTER.bak when there is none) and prints each dropped record's "
    "report; then mends an EMASTER or XMASTER that disagrees with the MASTER, with the same "
    "backups",
    {1},
    run_repair};
const cli::Registrar kRegistrar{kCommand};

// Mends an EMASTER or XMASTER that disagrees with the (sound) MASTER; false when that fails.
bool repair_index(const std::string& path, std::ostream& out, std::ostream& err) {
  if (core::find_index_disagreements(path).empty()) return true;
  const core::IndexRepairResult index = core::repair_index_files(path);
  if (!index.ok) {
    err << "dorvane-cli repair: " << index.failure << "\n";
    return false;
  }
  out << "repaired the EMASTER and XMASTER beside " << path << "\n";
  for (const std::string& backup : index.backups) out << "backup: " << backup << "\n";
  return true;
}

// Answers yes, as the automatic repair setting does; reports go to stdout.
class CliRepairObserver final : public core::RepairObserver {
 public:
  explicit CliRepairObserver(std::ostream& out) : m_out(out) {}
  bool confirm(const std::string&) override { return true; }
  void report_dropped(const std::string& message) override { m_out << message << "\n\n"; }

 private:
  std::ostream& m_out;
};

int run_repair(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  qdb::clear_failure();
  const std::string path = qdb::master_path_in(parsed.positional[0]);
  const core::MasterCheckResult check = core::ValidateMaster(path);
  if (!check.readable) {
    err << "dorvane-cli repair: the MASTER file " << path
        << " cannot be read (missing, unreadable or shorter than its 53-byte header)\n";
    if (!qdb::failure_cause().empty()) err << qdb::failure_cause() << "\n";
    return cli::kExitFailure;
  }
  if (check.sound) {
    if (core::find_stale_master_dates(path).empty()) {
      if (core::find_index_disagreements(path).empty()) {
        out << path << " is sound; nothing was changed\n";
        return cli::kExitOk;
      }
      return repair_index(path, out, err) ? cli::kExitOk : cli::kExitFailure;
    }
    const core::DateRepairResult dates = core::correct_master_dates(path, true);
    if (!dates.ok) {
      err << "dorvane-cli repair: " << dates.failure << "\n";
      return cli::kExitFailure;
    }
    out << "repaired " << path << ": " << dates.corrected << " dates corrected\n";
    out << "backup: " << dates.backup_path << "\n";
    return repair_index(path, out, err) ? cli::kExitOk : cli::kExitFailure;
  }

  CliRepairObserver observer(out);
  const core::RepairResult result = core::RepairMaster(path, observer, true);
  if (result.outcome != core::RepairOutcome::kRepaired) {
    err << "dorvane-cli repair: " << result.failure << "\n";
    return cli::kExitFailure;
  }
  // The rebuilt file's dates, against the data files; the repair's backup holds the original.
  const core::DateRepairResult dates = core::correct_master_dates(path, false);
  out << "repaired " << path << ": " << result.kept << " entries kept";
  if (result.dropped > 0)
    out << ", " << result.dropped << " dropped for a file number already used";
  if (result.empty_slots > 0) out << ", " << result.empty_slots << " empty slots removed";
  if (dates.corrected > 0) out << ", " << dates.corrected << " dates corrected";
  out << "\n";
  out << "backup: " << result.repair_backup_path << "\n";
  if (result.backup_made) out << "also kept as: " << result.backup_path << "\n";
  if (!dates.ok) {
    err << "dorvane-cli repair: " << dates.failure << "\n";
    return cli::kExitFailure;
  }
  return repair_index(path, out, err) ? cli::kExitOk : cli::kExitFailure;
}

}  // namespace
