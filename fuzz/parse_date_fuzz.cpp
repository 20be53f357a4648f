// Fuzzes date text parsing and the stored date/time real conversions.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "qdb/dates.h"
#include "qdb/mbf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // Codes 0 and 13 lie outside the twelve formats, which both functions refuse.
  for (int code = 0; code <= 13; ++code) {
    const auto format = static_cast<qdb::DateFormat>(code);
    const qdb::DateSerial serial = qdb::parse_date(text, format);
    if (serial == 0) continue;
    if (qdb::format_date(serial, format, '/').size() > 10) __builtin_trap();
    int years = 0, month = 0, day = 0;
    qdb::split_date(serial, years, month, day);
    if (month < 1 || month > 12 || day < 1 || day > 31) __builtin_trap();
    if (qdb::date_serial(years, month, day) != serial) __builtin_trap();
  }
  if (size >= 4) {
    const float ieee = qdb::ieee_bytes_to_float(data);
    qdb::date_from_real(ieee);
    qdb::date_from_real(ieee, qdb::DateForm::kLong);
    qdb::time_from_real(ieee);
    const float mbf = qdb::mbf_to_float(data);
    qdb::date_from_real(mbf);
    qdb::date_from_real(mbf, qdb::DateForm::kLong);
    qdb::time_from_real(mbf);
  }
  return 0;
}
