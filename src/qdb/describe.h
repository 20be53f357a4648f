// Facts about a series: its MASTER record, quote count and field formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qdb/series.h"

namespace qdb {

struct SeriesDescription {
  std::string path;
  int file_number = 0;  // 1 to 255 in a MASTER, 256 and up in an XMASTER
  std::int8_t record_length = 0;
  std::int8_t field_count = 0;
  std::int32_t quote_count = 0;  // the header's unsigned 16-bit record count less one
  std::string name;              // 16 bytes as stored, trailing blanks included
  float first_date = 0;          // YYMMDD real
  float last_date = 0;
  std::string periodicity;  // "D Daily" ... or "ERROR"
  std::string symbol;       // 16 bytes as stored
  std::string long_name;    // the EMASTER's or XMASTER's name, when longer than 16 characters
  std::string input_format[8];
  std::string display_format[8];
  // The oldest and newest quotes as the reader decodes them (dates in the file's own form),
  // when the data file holds any; has_time when the layout has a TIME column.
  bool has_quotes = false;
  bool has_time = false;
  QuoteBar first_quote;
  QuoteBar last_quote;
};

// Text of a DOP format number ("32nds", "Whole Num.", "100s"...); empty outside the table.
std::string format_number_text(int number);
// Text of a periodicity letter ("D Daily") or "ERROR".
std::string periodicity_text(char letter);

// Fills description for symbol found from dir (the entry with file_number when that is not 0,
// see find_symbol). 0 on success, 1 on any failure (untouched).
int describe_series(std::string_view dir, std::string_view symbol, SeriesDescription& out,
                    int file_number = 0);

}  // namespace qdb
