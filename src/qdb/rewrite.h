// The read-modify-write pass over a data file, and the MASTER date correction.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "qdb/dates.h"
#include "qdb/error.h"
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

// The place of each field's value in SeriesEditRequest::values: open to open interest, in the
// order of the layout's fields, so a pass over the fields indexes it by field - kOpen.
enum RequestValue : int {
  kValueOpen = 0,
  kValueHigh,
  kValueLow,
  kValueClose,
  kValueVolume,
  kValueOpenInterest,
  kRequestValueCount,
};

struct SeriesEditRequest {
  // The new value (set) or the factor (scale) of each field, by RequestValue.
  float values[kRequestValueCount] = {kKeepValue, kKeepValue, kKeepValue,
                                      kKeepValue, kKeepValue, kKeepValue};
  DateSerial first_date = 0;
  DateSerial last_date = 0;
  SeriesOp op = kOpNone;
  // The fields below narrow set, scale and delete to single records (an intraday file holds
  // many quotes per date, and sometimes the same bars twice). Insert ignores them, and at
  // their defaults a request picks its records by date alone.
  //
  // The one record meant, by its position in the file (0 the oldest), or -1. It must still be
  // in range (and at seconds, when given) when the pass starts; otherwise the file changed
  // since it was read and the request is refused with kQuoteChanged before anything is written.
  std::int32_t record = -1;
  // Only records stored at this time, as seconds since midnight (bar_seconds), or -1.
  std::int32_t seconds = -1;
  // Delete every record that matches, not only the first one in file order.
  bool every_match = false;
};

// Rewrites the data file of key (found from root) by the request. The new file is written
// beside the data file, flushed and renamed over it; F<n>.BAK keeps the old content.
// Answers nothing on success; else the Error with the lookup/layout status, kFileOpen (the data
// file does not open), kFileRead, kFileWrite (a write step failed, data file unchanged; or an
// insert into a file whose header already counts 65,535 records, refused before anything is
// written, the cause noted), kRecordNotFound (insert found no record of the date), kDeleteNotFound
// (delete found no quote of the date, its cause the library's own message kDeleteNotFoundMessage)
// or kQuoteChanged (the record the request addresses is no longer the one it names); see status.h.
// The cause names the failing step. A non-zero file_number addresses the entry of root's own index
// files with that number (see find_symbol); when it no longer matches key the answer is the
// lookup's kFileNotFound.
Result<void> rewrite_series(const SeriesEditRequest& request, std::string_view root,
                            std::string_view key, std::string_view master_path, int quote_count,
                            int file_number = 0);

// The cause of a delete that found no quote of its date: the library's own message, which the
// command shows before its own.
inline constexpr const char* kDeleteNotFoundMessage = "failure in delete quote for findrec";

enum class MasterDate { kFirst, kLast };

// Sets the first or last date of every entry with file_number in the MASTER at master_path
// (MASTER.BAK backup, MASTER.NEW renamed over it). Nothing when in place, else the Error
// (kFileOpen: the portfolio is locked; kFileWrite: a step failed, its cause named).
Result<void> set_master_date(std::string_view master_path, const MbfReal& date_cell,
                             int file_number, MasterDate which);

}  // namespace qdb
