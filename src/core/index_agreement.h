// Whether a portfolio's EMASTER and XMASTER agree with its MASTER, and their repair.
#pragma once

#include <string>
#include <vector>

namespace core {

// Every way the EMASTER and XMASTER beside the MASTER at master_path disagree with it or are
// damaged, in plain words: an EMASTER entry missing, left over, or holding another symbol,
// name or date than the MASTER entry of its file number; a count that differs from the
// entries held; an XMASTER entry numbered below 256 or with a number used twice. Empty when
// they agree, or when the portfolio has neither file (or they cannot be read).
std::vector<std::string> find_index_disagreements(const std::string& master_path);

struct IndexRepairResult {
  bool ok = false;
  int changed_files = 0;
  std::vector<std::string> backups;  // the repair's own backups made
  std::string failure;
};

// Mends what find_index_disagreements finds, under the portfolio lock. The EMASTER is rebuilt
// in the MASTER's order: each entry keeps its own bytes where it agrees and takes the MASTER's
// symbol, name and dates where it does not; a missing entry is made, a left-over one dropped;
// the counts are corrected. The XMASTER keeps its counted entries numbered from 256, each
// number once. Each file changed is first kept as <NAME>.bak unless a file of that name exists,
// and always as <NAME>.repair<k>.bak; then all are replaced together (write_portfolio_index).
IndexRepairResult repair_index_files(const std::string& master_path);

}  // namespace core
