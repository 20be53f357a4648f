// Verify's mending of what needs no value chosen: records sorted into date (and time) order,
// records repeated byte for byte removed, and the index files' first and last dates and
// counts made to agree with what they describe. Everything else verify only reports.
#pragma once

#include <string>
#include <vector>

namespace core {

struct MendResult {
  bool ok = true;
  std::vector<std::string> changes;  // what was (or would be) changed, one line each
  std::vector<std::string> left;     // what was left alone and why
  std::string failure;               // why nothing was changed (ok false)
  std::string restore_failed;        // files a failed change could not put back
};

// Mends the portfolio in dir (only the entries key names, when it is not empty). Every file
// changed is first copied to its backup (F<n>.BAK, MASTER.BAK, EMASTER.BAK, XMASTER.BAK), then
// all are written beside their targets and put in place as one transaction under the portfolio
// lock; a failure leaves every file as it was. A data file whose header count disagrees with
// its length is not rewritten. With plan_only nothing is locked or written: the answer lists
// what a mend would change.
MendResult mend_portfolio(const std::string& dir, const std::string& key, bool plan_only);

}  // namespace core
