#include "support/master_bytes.h"

#include <algorithm>

#include "qdb/mbf.h"

namespace testing_support {

std::string mbf(float value) {
  std::uint8_t cell[4];
  qdb::float_to_mbf(value, cell);
  return std::string(reinterpret_cast<const char*>(cell), 4);
}

std::string entry(const MasterEntryFields& wanted) {
  std::string r(53, '\0');
  r[0] = static_cast<char>(wanted.file_number);
  r[3] = static_cast<char>(wanted.record_length & 0xFF);
  r[4] = static_cast<char>(wanted.field_count & 0xFF);
  put_field(r, 7, wanted.name);
  r.replace(25, 4, mbf(wanted.first_date));
  r.replace(29, 4, mbf(wanted.last_date));
  r[33] = wanted.periodicity;
  put_field(r, 36, wanted.symbol);
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
  const int counted = count < 0 ? static_cast<int>(records.size()) : count;
  put_u16(out, 0, counted);
  put_u16(out, 2, counted);
  for (const std::string& r : records) out += r;
  return out;
}

qdb::MasterRecord record_of(const std::string& bytes) {
  qdb::MasterRecord record;
  std::copy_n(bytes.begin(), std::min(bytes.size(), record.bytes.size()), record.bytes.begin());
  return record;
}

}  // namespace testing_support
