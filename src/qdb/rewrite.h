// The read-modify-write pass over a data file, and the MASTER date correction.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "qdb/dates.h"
#include "qdb/mbf.h"

namespace qdb {

// The operation of a request, by its code in the request format. Scaling has two codes, 2 and
// 3: the commands (split, adjust) send 3, and 2 scales exactly the same way, so a request that
// carries either code multiplies rather than passing as "no operation". Any other code copies
// the records unchanged.
enum SeriesOp : std::int16_t {
  kOpNone = 0,
  kOpSet = 1,
  kOpScale2 = 2,
  kOpScale = 3,
  kOpDelete = 4,
  kOpInsert = 5,
};

// A value that marks a field to keep its stored value (op 1 and ops 2/3).
inline constexpr float kKeepValue = std::numeric_limits<float>::quiet_NaN();

struct SeriesEditRequest {
  float values[6] = {kKeepValue, kKeepValue, kKeepValue, kKeepValue, kKeepValue, kKeepValue};
  DateSerial first_date = 0;
  DateSerial last_date = 0;
  SeriesOp op = kOpNone;
};

// Rewrites the data file of key (found from root) by the request. The new file is written
// beside the data file, flushed and renamed over it; F<n>.BAK keeps the old content.
// Returns kSuccess, the lookup/layout status, kFileOpen (the data file does not open), kFileRead,
// kFileWrite (a write step failed, data file unchanged; or an insert into a file whose header
// already counts 65,535 records, refused before anything is written, the cause noted),
// kRecordNotFound (insert found no record of the date) or kDeleteNotFound (delete found no
// quote of the date); see status.h.
// A non-zero file_number addresses the entry of root's own index files with that number (see
// find_symbol); when it no longer matches key the answer is the lookup's kFileNotFound.
std::int32_t rewrite_series(const SeriesEditRequest& request, std::string_view root,
                            std::string_view key, std::string_view master_path, int quote_count,
                            int file_number = 0);

enum class MasterDate { kFirst, kLast };

// What set_master_date answers.
inline constexpr int kMasterDateSet = 0;
inline constexpr int kMasterDateFailed = 1;

// Sets the first or last date of every entry with file_number in the MASTER at master_path
// (MASTER.BAK backup, MASTER.NEW renamed over it). kMasterDateSet when in place,
// kMasterDateFailed on any failure.
int set_master_date(std::string_view master_path, const MbfReal& date_cell, int file_number,
                    MasterDate which);

}  // namespace qdb
