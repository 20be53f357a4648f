// The column layout of a data file, from its DOP file or its record length.
#pragma once

#include <cstdint>
#include <string>

#include "qdb/status.h"

namespace qdb {

// Quote fields in their fixed order.
enum Field : int { kDate = 0, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi, kFieldCountAll };

struct SeriesLayout {
  std::int16_t column[8] = {};          // 1-based column, 0 when absent
  std::int16_t input_format[8] = {};    // first number of the DOP line
  std::int16_t display_format[8] = {};  // second number of the DOP line
};

// Record length of the intraday files without a DOP: DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOL,
// OI, when the MASTER record says 8 fields.
inline constexpr int kIntradayRecordLength = 32;

// Builds the layout from the DOP file at dop_path (matched without regard to case), or from
// record_length when there is none. Returns 0 or -100; on -100 the layout is all zeros.
StatusCode read_layout(const std::string& dop_path, SeriesLayout& layout, int record_length);
// The same knowing the MASTER record's field count, which a 32-byte record without a DOP
// needs (8 fields: the intraday layout).
StatusCode read_layout(const std::string& dop_path, SeriesLayout& layout, int record_length,
                       int field_count);

// Parses DOP text (the whole file's content) into a layout; used by read_layout and fuzzing.
void parse_dop_text(std::string_view text, SeriesLayout& layout);

}  // namespace qdb
