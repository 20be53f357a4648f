// dorvane-cli repair DIR: rebuilds a damaged MASTER, answering the confirmation itself.
#include "cli/command.h"
#include "core/master_check.h"
#include "core/portfolio_repair.h"
#include "qdb/file_system.h"
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
  const std::string path = qdb::master_path_in(parsed.positional[0]);
  if (!core::ValidateMaster(path).readable) {
    err << "dorvane-cli repair: the MASTER file " << path
        << " cannot be read (missing, unreadable or shorter than its 53-byte header)\n";
    if (const std::string cause = qdb::not_regular_cause(path); !cause.empty())
      err << cause << "\n";
    return cli::kExitFailure;
  }

  CliRepairObserver observer(out);
  const core::PortfolioRepairResult result = core::repair_portfolio(path, observer, true);
  if (result.outcome == core::PortfolioRepairOutcome::kSound) {
    out << path << " is sound; nothing was changed\n";
    return cli::kExitOk;
  }
  if (result.master_rebuilt) {
    const core::RepairResult& master = result.master;
    out << "repaired " << path << ": " << master.kept << " entries kept";
    if (master.dropped > 0)
      out << ", " << master.dropped << " dropped for a file number already used";
    if (master.empty_slots > 0) out << ", " << master.empty_slots << " empty slots removed";
    if (result.dates.corrected > 0) out << ", " << result.dates.corrected << " dates corrected";
    out << "\n";
    out << "backup: " << master.repair_backup_path << "\n";
    if (master.backup_made) out << "also kept as: " << master.backup_path << "\n";
  } else if (result.dates_checked && result.dates.ok) {
    out << "repaired " << path << ": " << result.dates.corrected << " dates corrected\n";
    out << "backup: " << result.dates.backup_path << "\n";
    if (!result.dates.first_backup_path.empty())
      out << "also kept as: " << result.dates.first_backup_path << "\n";
  }
  if (result.index_repaired) {
    out << "repaired the EMASTER and XMASTER beside " << path << "\n";
    for (const std::string& backup : result.index.backups) out << "backup: " << backup << "\n";
  }
  if (result.outcome != core::PortfolioRepairOutcome::kRepaired) {
    err << "dorvane-cli repair: " << result.failure << "\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
