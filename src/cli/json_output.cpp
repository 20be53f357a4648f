#include "cli/json_output.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/quote_texts.h"
#include "qdb/dates.h"
#include "qdb/text.h"

namespace cli::json {

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t utf8_length(const std::string& text, std::size_t i) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  if (lead < 0x80)
    return 1;
  else if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else
    return 0;
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
  if (lead == 0xE0 && byte(i + 1) < 0xA0) return 0;
  if (lead == 0xED && byte(i + 1) >= 0xA0) return 0;
  if (lead == 0xF0 && byte(i + 1) < 0x90) return 0;
  if (lead == 0xF4 && byte(i + 1) >= 0x90) return 0;
  return length;
}

bool is_utf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8_length(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string stored_text(const std::string& bytes, qdb::CodePage page) {
  return qdb::decode_name(bytes, page);
}

std::string path_text(const std::string& bytes) {
  return is_utf8(bytes) ? bytes : stored_text(bytes);
}

Value iso_date(int year, int month, int day) {
  if (month == 0) return nullptr;
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

Value iso_date(qdb::DateSerial serial) {
  int years = 0;
  int month = 0;
  int day = 0;
  qdb::split_date(serial, years, month, day);
  return iso_date(1900 + years, month, day);
}

Value price(const std::string& text) {
  if (text == "N/A") return nullptr;
  return std::strtod(text.c_str(), nullptr);
}

Value quantity(const std::string& text) {
  if (text == "N/A") return nullptr;
  // Whole numbers print without a fraction; one past the 64-bit range stays a double.
  const double value = std::strtod(text.c_str(), nullptr);
  if (value > -9.0e18 && value < 9.0e18) return static_cast<std::int64_t>(value);
  return value;
}

Value symbol_row(const core::SymbolRow& row, qdb::CodePage page) {
  std::string name = row.name;
  return Value{{"file_number", row.file_number},
               {"symbol", stored_text(row.symbol, page)},
               {"name", stored_text(qdb::trim_right(name), page)}};
}

Value quote(const qdb::QuoteBar& bar, bool with_time) {
  const auto cells = core::quote_cell_texts(bar);
  Value time = nullptr;
  if (with_time) time = core::time_text(bar);
  return Value{{"date", iso_date(bar.date)},   {"time", time},
               {"open", price(cells[1])},      {"high", price(cells[2])},
               {"low", price(cells[3])},       {"close", price(cells[4])},
               {"volume", quantity(cells[5])}, {"open_interest", quantity(cells[6])}};
}

namespace {

// A stored text field up to its first zero byte, blanks kept (as the facts show it).
std::string shown(const std::string& field, qdb::CodePage page) {
  return stored_text(field.substr(0, field.find('\0')), page);
}

Value text_or_null(const std::string& text) {
  if (text.empty()) return nullptr;
  return text;
}

// A YYMMDD date of the MASTER record, read in the form of the data file's last date.
Value master_date(float stored, float last_stored) {
  return iso_date(qdb::date_from_real(stored, qdb::date_form_of(last_stored)));
}

// A stored real as a number: whole ones without a fraction, as the facts print them.
Value stored_number(float value) {
  const double number = static_cast<double>(value);
  if (std::isfinite(number) && std::fabs(number) < 9.0e18 && number == std::trunc(number))
    return static_cast<std::int64_t>(number);
  if (!std::isfinite(number)) return nullptr;
  return number;
}

Value moment(const qdb::QuoteBar& bar, bool with_time) {
  Value time = nullptr;
  if (with_time) time = core::time_text(bar);
  return Value{{"date", iso_date(bar.date)}, {"time", time}};
}

}  // namespace

Value facts(const qdb::SeriesDescription& facts, qdb::CodePage page) {
  static const char* const kFieldNames[8] = {"date", "time",  "open",   "high",
                                             "low",  "close", "volume", "open_interest"};
  Value fields = Value::array();
  for (int field = 0; field < 8; ++field)
    fields.push_back({{"field", kFieldNames[field]},
                      {"input_format", text_or_null(facts.input_format[field])},
                      {"display_format", text_or_null(facts.display_format[field])}});
  Value first_quote = nullptr;
  Value last_quote = nullptr;
  if (facts.has_quotes) {
    first_quote = moment(facts.first_quote, facts.has_time);
    last_quote = moment(facts.last_quote, facts.has_time);
  }
  return Value{{"path", path_text(facts.path)},
               {"file_number", static_cast<int>(facts.file_number)},
               {"record_length", static_cast<int>(facts.record_length)},
               {"field_count", static_cast<int>(facts.field_count)},
               {"quote_count", facts.quote_count},
               {"name", shown(facts.name, page)},
               {"first_date", master_date(facts.first_date, facts.last_date)},
               {"last_date", master_date(facts.last_date, facts.last_date)},
               {"first_date_stored", stored_number(facts.first_date)},
               {"last_date_stored", stored_number(facts.last_date)},
               {"periodicity", facts.periodicity},
               {"symbol", shown(facts.symbol, page)},
               {"fields", fields},
               {"first_quote", first_quote},
               {"last_quote", last_quote}};
}

Value split(const std::string& symbol, core::SplitRatio ratio, qdb::DateSerial date) {
  return Value{{"symbol", stored_text(symbol)},
               {"new", ratio.new_shares},
               {"old", ratio.old_shares},
               {"date", iso_date(date)}};
}

void append_string(std::string& out, std::string_view text) {
  // The escapes of the JSON library's dump(): the two-letter forms where JSON has them, \u00xx
  // in lower-case hex for other control characters, every other byte as it is.
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void print(std::ostream& out, const Value& document) { out << document.dump(2) << '\n'; }

}  // namespace cli::json
