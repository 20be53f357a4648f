// Portfolios for the tests, built with the library's writer: one MASTER entry, data file and
// (optionally) DOP file per symbol.
#pragma once

#include <string>
#include <vector>

#include "qdb/series.h"

namespace testing_support {

struct PortfolioSymbol {
  int file_number;
  std::string symbol;
  std::string name;
  std::vector<qdb::QuoteBar> bars;  // oldest first
  int record_length = 28;           // one field per four bytes
  bool with_dop = true;
};

// Creates a portfolio in dir holding the symbols, their MASTER entries in the order given and
// their first and last dates those of their bars (0 without bars). A symbol numbered 256 or
// above goes to the XMASTER, its quotes to F<n>.MWD.
void make_portfolio(const std::string& dir, const std::vector<PortfolioSymbol>& symbols);

}  // namespace testing_support
