#include "core/portfolio_repair.h"

#include "qdb/portfolio_files.h"

namespace core {

PortfolioCheck check_portfolio(const std::string& master_path, bool dates) {
  PortfolioCheck check;
  check.master = ValidateMaster(master_path);
  if (!check.master.readable) return check;
  check.problems = check.master.problems;
  if (dates)
    for (const StaleMasterDate& stale : find_stale_master_dates(master_path))
      check.problems.push_back(stale_date_text(stale));
  for (std::string& problem : find_index_disagreements(master_path))
    check.problems.push_back(std::move(problem));
  return check;
}

PortfolioRepairResult repair_portfolio(const std::string& master_path, RepairObserver& observer,
                                       bool auto_repair) {
  PortfolioRepairResult result;
  const std::string path = qdb::resolve_path(master_path);
  const PortfolioCheck check = check_portfolio(path);
  if (!check.readable()) {
    result.failure = "the MASTER file " + path +
                     " cannot be read (missing, unreadable or shorter than its 53-byte header)";
    return result;
  }
  if (check.sound()) {
    result.outcome = PortfolioRepairOutcome::kSound;
    return result;
  }
  if (!auto_repair && !observer.confirm(repair_confirmation_message(path, check.problems))) {
    result.outcome = PortfolioRepairOutcome::kDeclined;
    return result;
  }

  if (!check.master.sound) {
    result.master = RepairMaster(path, observer, true);
    if (result.master.outcome != RepairOutcome::kRepaired) {
      result.failure = result.master.failure;
      return result;
    }
    result.master_rebuilt = true;
    // The rebuilt file's dates, against the data files; the repair's backup holds the original.
    result.dates_checked = true;
    result.dates = correct_master_dates(path, false);
  } else if (!find_stale_master_dates(path).empty()) {
    result.dates_checked = true;
    result.dates = correct_master_dates(path, true);
  }
  if (result.dates_checked && !result.dates.ok) {
    result.failure = result.dates.failure;
    return result;
  }

  if (!find_index_disagreements(path).empty()) {
    result.index = repair_index_files(path);
    if (!result.index.ok) {
      // What the steps before did stays done: the answer says so.
      const bool master_changed =
          result.master_rebuilt || (result.dates_checked && result.dates.corrected > 0);
      result.failure = (master_changed ? "the MASTER file was repaired, but its EMASTER and "
                                         "XMASTER were not: "
                                       : "") +
                       result.index.failure;
      return result;
    }
    result.index_repaired = true;
  }
  result.outcome = PortfolioRepairOutcome::kRepaired;
  return result;
}

}  // namespace core
