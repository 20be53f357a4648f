#include "core/chart_options.h"

#include <cctype>
#include <charconv>

#include "core/entry_values.h"

namespace core {

namespace {

// A whole number of pixels, digits only; -1 when the text is not one (or is absurdly long).
int side_of(std::string_view digits) {
  if (digits.empty() || digits.size() > 6) return -1;
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return -1;
  return value;
}

}  // namespace

bool parse_chart_size(std::string_view text, int& width, int& height, std::string& message) {
  const std::size_t x = text.find_first_of("xX");
  const int w = x == std::string_view::npos ? -1 : side_of(text.substr(0, x));
  const int h = x == std::string_view::npos ? -1 : side_of(text.substr(x + 1));
  if (w < 0 || h < 0) {
    message = "--size " + std::string(text) + " is not WIDTHxHEIGHT in pixels (e.g. 1200x700)";
    return false;
  }
  if (w < kChartMinSide || h < kChartMinSide || w > kChartMaxSide || h > kChartMaxSide) {
    message = "--size " + std::string(text) + ": each side must be " +
              std::to_string(kChartMinSide) + " to " + std::to_string(kChartMaxSide) + " pixels";
    return false;
  }
  width = w;
  height = h;
  return true;
}

bool parse_chart_date(std::string_view option, std::string_view text, qdb::DateSerial& date,
                      std::string& message) {
  const qdb::DateSerial serial = entry_date(text);
  if (serial == 0) {
    message = "--" + std::string(option) + " " + std::string(text) +
              " is not a date (MM/DD/YY or MM/DD/YYYY)";
    return false;
  }
  date = serial;
  return true;
}

bool check_chart_request(const ChartRequest& request, std::string& message) {
  if (request.from != 0 && request.to != 0 && request.from > request.to) {
    message = "--from is after --to";
    return false;
  }
  const std::string& out = request.output;
  const bool png = out.size() > 4 && out[out.size() - 4] == '.' &&
                   std::tolower(static_cast<unsigned char>(out[out.size() - 3])) == 'p' &&
                   std::tolower(static_cast<unsigned char>(out[out.size() - 2])) == 'n' &&
                   std::tolower(static_cast<unsigned char>(out[out.size() - 1])) == 'g';
  if (!png) {
    message = out + " does not end in .png";
    return false;
  }
  return true;
}

}  // namespace core
