#include "read_fixture_builder.h"

#include <fstream>

#include "qdb/dates.h"
#include "qdb/mbf.h"

namespace read_fixtures {
namespace {

void put_text(std::string& record, std::size_t offset, const std::string& text) {
  for (std::size_t i = 0; i < 16; ++i) record[offset + i] = i < text.size() ? text[i] : ' ';
}

void put_u16(std::string& bytes, std::size_t offset, int value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

}  // namespace

std::string mbf(float value) {
  std::uint8_t cell[4];
  qdb::float_to_mbf(value, cell);
  return std::string(reinterpret_cast<const char*>(cell), 4);
}

std::string entry(const EntrySpec& wanted) {
  std::string r(53, '\0');
  r[0] = static_cast<char>(wanted.file_number);
  r[3] = static_cast<char>(wanted.record_length & 0xFF);
  r[4] = static_cast<char>(wanted.field_count & 0xFF);
  put_text(r, 7, wanted.name);
  r.replace(25, 4, mbf(wanted.first_date));
  r.replace(29, 4, mbf(wanted.last_date));
  r[33] = wanted.periodicity;
  put_text(r, 36, wanted.symbol);
  return r;
}

std::string dir_entry(const std::string& name) {
  std::string r(53, '\0');
  for (std::size_t i = 0; i < 8; ++i) r[7 + i] = i < name.size() ? name[i] : ' ';
  r.replace(15, 3, "   ");
  r.replace(18, 5, "<DIR>");
  return r;
}

std::string master(const std::vector<std::string>& records, int count) {
  std::string out(53, '\0');
  const int n = count < 0 ? static_cast<int>(records.size()) : count;
  put_u16(out, 0, n);
  put_u16(out, 2, n);
  for (const std::string& r : records) out += r;
  return out;
}

std::string dat(int record_length, const std::vector<std::vector<float>>& rows,
                int header_records) {
  const auto length = static_cast<std::size_t>(record_length);
  std::string out(length, '\0');
  put_u16(out, 2,
          header_records == kRowsPlusOne ? static_cast<int>(rows.size()) + 1 : header_records);
  for (const auto& row : rows) {
    std::string record;
    for (float v : row) record += mbf(v);
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
