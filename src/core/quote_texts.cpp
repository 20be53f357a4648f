#include "core/quote_texts.h"

#include "core/fixed_text.h"
#include "qdb/dates.h"

namespace core {

namespace {

// A value below zero (the reader's -1 for a field the layout lacks) and a value that compares
// unordered both read "N/A"; only a number of zero or more is printed, with the digits of
// printf's "%.<decimals>f".
std::string number_text(float value, int decimals) {
  if (!(value >= 0.0f)) return "N/A";
  std::string text;
  append_fixed(text, value, decimals);
  return text;
}

}  // namespace

std::string display_date_text(qdb::DateSerial serial) {
  const int year = qdb::date_year(serial);
  const bool two_digits = year == 0 || (year >= 1960 && year <= 2059);
  return qdb::format_date_string(
      serial, two_digits ? qdb::DateFormat::kMmDdYy : qdb::DateFormat::kMmDdYyyy, '/');
}

std::string time_text(const qdb::QuoteBar& bar) {
  return qdb::format_seconds_string(qdb::bar_seconds(bar));
}

std::string price_text(float value) { return number_text(value, 4); }

std::string quantity_text(float value) { return number_text(value, 0); }

std::array<std::string, 7> quote_cell_texts(const qdb::QuoteBar& bar) {
  return {display_date_text(bar.date), price_text(bar.open),  price_text(bar.high),
          price_text(bar.low),         price_text(bar.close), quantity_text(bar.volume),
          quantity_text(bar.oi)};
}

}  // namespace core
