// The demo tree: a few portfolios of made-up but plausible daily prices that a new user can
// explore at once. Every run writes the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qdb/series.h"

namespace core {

// The portfolios of the demo tree, relative to its root: "Stocks", "Stocks/TECH", "Futures".
std::vector<std::string> demo_portfolios();

// Creates the demo tree under root. Refuses, changing nothing, when root already holds one of
// the demo's MASTER files, so a tree the user has explored (and maybe edited) is never
// overwritten. On failure message says why.
bool make_demo_tree(const std::string& root, std::string& message);

// Parameters of one made-up daily price history.
struct DemoHistory {
  std::uint64_t seed = 1;
  qdb::DateSerial first_date = 0;  // date serials; weekdays other than fixed holidays are traded
  qdb::DateSerial last_date = 0;
  double start_price = 20.0;
  double drift = 0.0003;           // mean daily return
  double volatility = 0.02;        // daily deviation
  double volume = 100000;          // typical daily volume
  double open_interest = 0;        // typical open interest (0: none)
  double tick_before_2001 = 0;     // price step before 9 April 2001 (0: cents throughout)
  double tick = 0.01;              // price step
  qdb::DateSerial split_date = 0;  // first date after an unadjusted 2-for-1 split (0: none)
};

// The quotes of a history, oldest first.
std::vector<qdb::QuoteBar> demo_quotes(const DemoHistory& history);

}  // namespace core
