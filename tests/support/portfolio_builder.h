// Portfolios for the tests, built with the library's writer: one MASTER entry, data file and
// (optionally) DOP file per symbol; and the quotes they are usually built with.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "qdb/series.h"

namespace testing_support {

struct SymbolFixture {
  int file_number;
  std::string symbol;
  std::string name;
  std::vector<qdb::QuoteBar> bars = {};  // oldest first; none gives no dates
  int record_length = 28;                // one field per four bytes; 20 leaves volume and OI out
  bool with_dop = true;
};

// Creates a portfolio in dir holding the symbols, their MASTER entries in the order given and
// their first and last dates those of their bars (0 without bars). A symbol numbered 256 or
// above goes to the XMASTER, its quotes to F<n>.MWD.
void make_portfolio(const std::filesystem::path& dir, const std::vector<SymbolFixture>& symbols);

// count daily quotes from Monday 3 January 2000 on (weekends included), prices rising by 0.25
// a day from 10.
std::vector<qdb::QuoteBar> daily_bars(int count);

// The weekdays from Monday 3 January 2000 to January last_day, each series with its own
// prices from base.
std::vector<qdb::QuoteBar> bars_from(float base, int last_day = 6);

}  // namespace testing_support
