// What the browser view holds about the symbol whose quotes are shown; every quote command
// takes it along with the entries its dialog collected.
#pragma once

#include <cstdint>
#include <string>

#include "qdb/rewrite.h"

namespace core {

struct ViewState {
  std::string portfolio_dir;    // the selected portfolio directory (the lookup root)
  std::string symbol;           // the current symbol, as shown in the symbols grid
  std::string master_path;      // the portfolio's MASTER file
  int quote_count = 0;          // quotes in the data file when the quotes grid was filled
  std::string first_date_text;  // date text of the oldest quote (MM/DD/YY)
  std::string last_date_text;   // date text of the newest quote (MM/DD/YY)
};

// Runs the series rewrite on the view's symbol: its portfolio, MASTER and quote count.
inline std::int32_t rewrite_view_series(const ViewState& view,
                                        const qdb::SeriesEditRequest& request) {
  return qdb::rewrite_series(request, view.portfolio_dir, view.symbol, view.master_path,
                             view.quote_count);
}

}  // namespace core
