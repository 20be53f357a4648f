// What the browser view holds about the symbol whose quotes are shown; every quote command
// takes it along with the entries its dialog collected.
#pragma once

#include <cstdint>
#include <string>

#include "qdb/dates.h"
#include "qdb/rewrite.h"
#include "qdb/status.h"

namespace core {

struct ViewState {
  std::string portfolio_dir;       // the selected portfolio directory (the lookup root)
  std::string symbol;              // the current symbol, as shown in the symbols grid
  std::string master_path;         // the portfolio's MASTER file
  int quote_count = 0;             // quotes in the data file when the quotes grid was filled
  qdb::DateSerial first_date = 0;  // date of the oldest quote, 0 when none was read
  qdb::DateSerial last_date = 0;   // date of the newest quote, 0 when none was read
  // The file number of the symbol's entry in the portfolio's own MASTER or XMASTER, so that
  // the entry the user picked is the one read and rewritten even when another entry shows the
  // same symbol; 0 looks the symbol up by its text alone.
  int file_number = 0;
};

// Fills view with the state the view holds for key in dir after a fresh read of its series:
// the portfolio, symbol and MASTER path, and, as far as the read goes, the quote count and the
// first and last dates. Answers the read's status (kSuccess when all was read). A non-zero
// file_number addresses that entry of dir's own index files (see qdb::find_symbol) and is kept
// in view for the commands that follow.
qdb::StatusCode read_view_state(const std::string& dir, const std::string& key, ViewState& view,
                                int file_number = 0);

// Runs the series rewrite on the view's symbol: its portfolio, MASTER and quote count.
inline qdb::Result<void> rewrite_view_series(const ViewState& view,
                                             const qdb::SeriesEditRequest& request) {
  return qdb::rewrite_series(request, view.portfolio_dir, view.symbol, view.master_path,
                             view.quote_count, view.file_number);
}

}  // namespace core
