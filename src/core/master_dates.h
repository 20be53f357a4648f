// The first and last dates a MASTER gives each symbol, against the quotes its data file holds:
// finding the ones that disagree, and correcting them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qdb/dates.h"

namespace core {

struct StaleMasterDate {
  int entry = 0;                    // 1-based entry of the MASTER
  int file_number = 0;              // F<n>
  bool first = false;               // the first date (else the last)
  qdb::DateSerial master_date = 0;  // the date serial the MASTER gives (0: none)
  qdb::DateSerial data_date = 0;    // the oldest (first) or newest (last) quote's date serial
};

// Every first or last date of a symbol entry of the MASTER at master_path that differs from
// the oldest or newest quote of its F<n>.DAT. Entries whose data file can't be read, or holds
// no quote, are passed over (the date has nothing to agree with).
std::vector<StaleMasterDate> find_stale_master_dates(const std::string& master_path);

// "entry 2 (F2.DAT): the first date is 01/04/99, but the oldest quote is dated 01/05/99"
std::string stale_date_text(const StaleMasterDate& stale);

struct DateRepairResult {
  bool ok = false;
  int corrected = 0;              // dates changed
  std::string backup_path;        // the repair backup made (empty when none was asked for)
  std::string first_backup_path;  // MASTER.bak, when this correction made it (none existed)
  std::string failure;            // what failed (ok false); the MASTER is then unchanged
};

// Sets every stale date found by find_stale_master_dates to its data file's date, replacing the
// MASTER in one step while the portfolio is locked. With make_backup, the MASTER is first kept
// as MASTER.bak when no file of that name exists, and under a repair backup name of its own
// (repair_backup_name); a failed backup stops the correction with the MASTER unchanged.
DateRepairResult correct_master_dates(const std::string& master_path, bool make_backup);

}  // namespace core
