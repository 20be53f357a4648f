// dorvane-cli repair DIR: rebuilds a damaged MASTER, answering the confirmation itself.
#include "cli/command.h"
#include "core/master_check.h"
#include "core/master_reader.h"
#include "core/master_repair.h"

namespace {

int run_repair(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kCommand{
    "repair", "repair DIR",
    "Repair the MASTER of portfolio DIR when the checks find it damaged (backup MASTER.bak); "
    "prints each dropped record's report",
    run_repair};
const cli::Registrar kRegistrar{kCommand};

// Answers yes, as the automatic repair setting does; reports go to stdout.
class CliRepairObserver final : public core::RepairObserver {
 public:
  explicit CliRepairObserver(std::ostream& out) : m_out(out) {}
  bool confirm(const std::string&) override { return true; }
  void report_dropped(const std::string& message) override { m_out << message << "\n\n"; }

 private:
  std::ostream& m_out;
};

int run_repair(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kCommand, err, parsed.error);
  if (parsed.positional.size() != 1) return cli::usage_error(kCommand, err);

  const std::string path = core::master_io::path_in(parsed.positional[0]);
  const core::MasterCheckResult check = core::ValidateMaster(path);
  if (!check.readable) {
    err << "dorvane-cli repair: the MASTER file " << path
        << " cannot be read (missing, unreadable or shorter than its 53-byte header)\n";
    return cli::kExitFailure;
  }
  if (check.sound) {
    out << path << " is sound; nothing was changed\n";
    return cli::kExitOk;
  }

  CliRepairObserver observer(out);
  const core::RepairResult result = core::RepairMaster(path, observer, true);
  if (result.outcome != core::RepairOutcome::kRepaired) {
    err << "dorvane-cli repair: " << result.failure << "\n";
    return cli::kExitFailure;
  }
  out << "repaired " << path << ": " << result.kept << " entries kept";
  if (result.dropped > 0)
    out << ", " << result.dropped << " dropped for a file number already used";
  if (result.empty_slots > 0) out << ", " << result.empty_slots << " empty slots removed";
  out << "\n";
  if (result.backup_made)
    out << "backup: " << result.backup_path << "\n";
  else
    out << "backup kept as it was: " << result.backup_path << "\n";
  return cli::kExitOk;
}

}  // namespace
