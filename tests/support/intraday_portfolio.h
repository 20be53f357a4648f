// An intraday portfolio shaped like an exchange's: 32-byte records of eight fields (DATE TIME
// OPEN HIGH LOW CLOSE VOL OI), no DOP file, three bars a date, and one date's bars written a
// second time at the end of the file, out of order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qdb/series.h"

namespace testing_support {

inline constexpr int kIntradayRecord = 32;

// Records in file order: Mon 05/02/11, Tue 05/03/11, Thu 05/05/11 and Fri 05/06/11 (no
// Wednesday), each at 09:30:00, 11:30:37 and 16:00:00 (records 0 to 11), then Tuesday's bars
// again as 11:30:37, 09:30:00, 16:00:00 (records 12 to 14). Every bar but the repeats has its
// own values.
std::vector<qdb::QuoteBar> intraday_bars();

// Writes symbol "ES" (F1.DAT, periodicity 'I') holding intraday_bars() into dir.
void make_intraday_portfolio(const std::string& dir);

// The bytes of record k (0 the oldest) of a data file of 32-byte records.
std::string intraday_record(const std::string& data, int k);

}  // namespace testing_support
