// The words of a chart picture request, shared by dorvane-cli chart and the dorvane-chart
// program that draws it: the span's dates and the picture's size.
#pragma once

#include <string>
#include <string_view>

#include "qdb/dates.h"

namespace core {

// The picture's size when none is asked for, and the sizes accepted (each side, in pixels).
inline constexpr int kChartDefaultWidth = 1200;
inline constexpr int kChartDefaultHeight = 700;
inline constexpr int kChartMinSide = 100;
inline constexpr int kChartMaxSide = 10000;

struct ChartRequest {
  std::string directory, key, output;
  qdb::DateSerial from = 0, to = 0;  // 0: open end
  int width = kChartDefaultWidth, height = kChartDefaultHeight;
  int file_number = 0;  // the entry of directory's own index files to draw; 0: by key alone
};

// "WxH" with both sides whole numbers of pixels in kChartMinSide..kChartMaxSide. False with
// message saying why otherwise.
bool parse_chart_size(std::string_view text, int& width, int& height, std::string& message);

// A --from / --to date: MM/DD/YY or MM/DD/YYYY as the quote commands take it. False with
// message (naming option) otherwise.
bool parse_chart_date(std::string_view option, std::string_view text, qdb::DateSerial& date,
                      std::string& message);

// The checks on the whole request that need no file: from not after to, and an output file
// named *.png (so that a slip of the words never writes a picture over a data file). False
// with message otherwise.
bool check_chart_request(const ChartRequest& request, std::string& message);

}  // namespace core
