// Creating portfolios and data files (tests, demo data and later commands).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/series.h"

namespace qdb {

// Creates dir (and parents) and an empty MASTER (header with count 0) when none exists.
bool create_portfolio(const std::string& dir);

// Builds an entry record: symbol, issue name, file number, record length and field count,
// periodicity 'D', first/last date cells from the bars (MBF), all else zero.
MasterRecord make_master_record(int file_number, std::string_view symbol,
                                std::string_view issue_name, int record_length, int field_count,
                                DateSerial first_date = 0, DateSerial last_date = 0);
// A "<DIR>" entry for the subdirectory name (at most 8 characters).
MasterRecord make_directory_record(std::string_view subdir_name);

// Appends an entry to dir's MASTER, raising both header counters (crash-safe rewrite).
bool append_master_record(const std::string& dir, const MasterRecord& record);

// Default layout for a record length of 12, 16, 20, 24 or 28 (20: DATE OPEN HIGH LOW CLOSE).
SeriesLayout default_layout(int record_length);

// Writes F<n>.DAT in dir from bars with the layout (columns mapped by layout.column) and the
// record length; crash-safe. Unmapped columns and bytes past the fields are zero. At most
// 65,534 bars (the header counts 65,535 records); more is refused.
bool write_data_file(const std::string& dir, int file_number, const std::vector<QuoteBar>& bars,
                     const SeriesLayout& layout, int record_length);
// The same with the dates stored in the given form (kTwoDigit keeps 2000..2059 as two-digit
// years, as older tools wrote them; kLong is the form above).
bool write_data_file(const std::string& dir, int file_number, const std::vector<QuoteBar>& bars,
                     const SeriesLayout& layout, int record_length, DateForm form);

// Writes F<n>.DOP listing the mapped fields in column order with their format numbers.
bool write_dop_file(const std::string& dir, int file_number, const SeriesLayout& layout);

}  // namespace qdb
