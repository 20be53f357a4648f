// Raw bytes of data files for read-path tests, built field by field (MASTER files: see
// support/master_bytes.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "qdb/dates.h"

namespace read_fixtures {

// Header record count meaning "one more than the rows given".
inline constexpr int kRowsPlusOne = 1 << 20;

// A data file of record_length-byte records: header counting header_records
// records (rows + 1 unless given), then one
// record per row holding the row's values as MBF columns, zero-padded.
std::string dat(int record_length, const std::vector<std::vector<float>>& rows,
                int header_records = kRowsPlusOne);

// Rows of count weekday quotes from the date serial first: date, open, high, low, close,
// volume, open interest, cut to fields columns. Closes rise by 0.25 a day from base.
std::vector<std::vector<float>> weekday_quotes(qdb::DateSerial first, int count, int fields,
                                               float base = 10.0f);

void write_file(const std::filesystem::path& path, const std::string& bytes);

}  // namespace read_fixtures
