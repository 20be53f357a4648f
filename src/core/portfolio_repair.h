// A portfolio's index files checked and mended as one: the problems of its MASTER, of the
// MASTER's dates against the data files and of the EMASTER and XMASTER against the MASTER, and
// the one repair of all of them that the app and `dorvane-cli repair` share.
#pragma once

#include <string>
#include <vector>

#include "core/index_agreement.h"
#include "core/master_check.h"
#include "core/master_dates.h"
#include "core/master_repair.h"

namespace core {

struct PortfolioCheck {
  MasterCheckResult master;           // the MASTER's own checks
  std::vector<std::string> problems;  // every problem found, in the order `check` prints them
  bool readable() const { return master.readable; }
  bool sound() const { return master.readable && problems.empty(); }
};

// The problems of the portfolio whose MASTER is at master_path: the MASTER's checks, then,
// with dates, its first and last dates against the data files (which reads every data file),
// then the EMASTER's and XMASTER's disagreements with the MASTER.
PortfolioCheck check_portfolio(const std::string& master_path, bool dates = true);

enum class PortfolioRepairOutcome {
  kSound,     // nothing to mend; nothing was changed
  kRepaired,  // every problem found was mended
  kDeclined,  // the confirmation was declined; nothing was touched
  kFailed,  // a step failed (failure says which); the files it would have replaced are as they were
};

struct PortfolioRepairResult {
  PortfolioRepairOutcome outcome = PortfolioRepairOutcome::kFailed;
  bool master_rebuilt = false;  // the damaged MASTER was rebuilt (master holds the details)
  RepairResult master;
  bool dates_checked = false;  // the MASTER's dates were compared with the data files
  DateRepairResult dates;
  bool index_repaired = false;  // the EMASTER and XMASTER were mended (index holds the details)
  IndexRepairResult index;
  std::string failure;
};

// Mends what check_portfolio finds. Unless auto_repair, observer.confirm is asked first with
// the problems listed. A damaged MASTER is rebuilt (RepairMaster, each dropped entry reported
// to observer) and its dates then taken from the data files; a sound MASTER with stale dates
// has them corrected under a backup of its own; last the EMASTER and XMASTER are made to
// agree with the MASTER (repair_index_files).
PortfolioRepairResult repair_portfolio(const std::string& master_path, RepairObserver& observer,
                                       bool auto_repair);

}  // namespace core
