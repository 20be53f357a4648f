#include "read_fixture_builder.h"

#include <fstream>

#include "qdb/dates.h"
#include "support/master_bytes.h"

namespace read_fixtures {

using testing_support::put_u16;

std::string dat(int record_length, const std::vector<std::vector<float>>& rows,
                int header_records) {
  const auto length = static_cast<std::size_t>(record_length);
  std::string out(length, '\0');
  put_u16(out, 2,
          header_records == kRowsPlusOne ? static_cast<int>(rows.size()) + 1 : header_records);
  for (const auto& row : rows) {
    std::string record;
    for (float v : row) record += testing_support::mbf(v);
    record.resize(length, '\0');
    out += record;
  }
  return out;
}

std::vector<std::vector<float>> weekday_quotes(qdb::DateSerial first, int count, int fields,
                                               float base) {
  std::vector<std::vector<float>> rows;
  for (qdb::DateSerial s = first; static_cast<int>(rows.size()) < count; ++s) {
    if (qdb::is_weekend(s)) continue;
    const float i = static_cast<float>(rows.size());
    const float close = base + i * 0.25f;
    std::vector<float> row = {
        qdb::date_to_real(s), close - 0.125f, close + 0.5f, close - 0.5f, close,
        1000.0f + 10.0f * i,  500.0f + i};
    row.resize(static_cast<std::size_t>(fields));
    rows.push_back(row);
  }
  return rows;
}

void write_file(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace read_fixtures
