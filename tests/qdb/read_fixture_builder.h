// Raw bytes of MASTER, DAT and DOP files for read-path tests, built field by field.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "qdb/dates.h"

namespace read_fixtures {

struct EntrySpec {
  int file_number = 1;
  std::string symbol;
  std::string name;
  int record_length = 28;
  int field_count = 7;
  float first_date = 0;  // YYMMDD reals
  float last_date = 0;
  char periodicity = 'D';
};

// One 53-byte entry record with MBF dates.
std::string entry(const EntrySpec& wanted);
// A "<DIR>" entry naming a subdirectory (name written as given, up to 8 bytes).
std::string dir_entry(const std::string& name);
// Header (counting count entries, or the records given when count < 0) followed by the records.
std::string master(const std::vector<std::string>& records, int count = -1);

// Four bytes of the MBF cell of value.
std::string mbf(float value);

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
