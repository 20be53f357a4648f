#include "cli/json_output.h"

#include <cstdio>
#include <cstdlib>

#include "qdb/text.h"

namespace cli::json {

namespace {

void append_latin1(std::string& out, unsigned char c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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

std::string stored_text(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) append_latin1(out, static_cast<unsigned char>(c));
  return out;
}

std::string path_text(const std::string& bytes) {
  return is_utf8(bytes) ? bytes : stored_text(bytes);
}

Value iso_date(int year, int month, int day) {
  if (month == 0) return nullptr;
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
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

Value symbol_row(const core::SymbolRow& row) {
  std::string name = row.name;
  return Value{{"file_number", row.file_number},
               {"symbol", stored_text(row.symbol)},
               {"name", stored_text(qdb::trim_right(name))}};
}

void print(std::ostream& out, const Value& document) { out << document.dump(2) << '\n'; }

}  // namespace cli::json
