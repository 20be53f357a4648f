// Loading a symbol's quotes into the quotes grid, newest first, through the core's windowed
// reader, so memory stays bounded whatever the series' length.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include "qdb/dates.h"

class CQuotesGridModel;

struct QuoteLoadResult {
  enum class Status {
    kOk,
    kOpenFailed,   // the symbol was not found, its layout unknown or its data file unopened
    kNoMemory,     // the working window could not be allocated
    kChunkFailed,  // a window read failed; the rows read before it stay
    kShortChunk,   // a window held fewer quotes than the header claims; the rows read stay
  };
  Status status = Status::kOpenFailed;
  int total = 0;                   // quotes the data file's header claims
  int loaded = 0;                  // rows put in the grid
  qdb::DateSerial first_date = 0;  // date serial of quote 0 (the oldest), 0 when none
  qdb::DateSerial last_date = 0;   // date serial of the newest quote, 0 when none
  bool has_time = false;           // the series has times (the grid shows its Time column)
  std::string cause;               // when the load failed or read short: why, in words
};

// Appends the quotes of key (looked up from directory) to model, newest first, with the Time
// column when the series has times. progress is
// called after each window with the rows loaded so far and the total claimed. A non-zero
// file_number reads the entry of directory's own index files with that number, the row's.
QuoteLoadResult load_quotes(CQuotesGridModel& model, const std::string& directory,
                            const std::string& key,
                            const std::function<void(int loaded, int total)>& progress = {},
                            int file_number = 0);
