// Cell texts of the quotes grid.
#include "core/quote_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "core/export.h"
#include "core/fixed_text.h"
#include "qdb/dates.h"

namespace {

std::string printf_text(const char* format, float value) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
  return buffer;
}

TEST(QuoteTexts, RowOfSevenCellsWithNotAvailableForNegativeAndNotANumber) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float bad : {-1.0f, -0.0001f, nan}) {
    EXPECT_EQ(core::price_text(bad), "N/A") << bad;
    EXPECT_EQ(core::quantity_text(bad), "N/A") << bad;
  }
  qdb::QuoteBar bar;
  bar.date = qdb::date_serial(2000, 1, 3);
  bar.open = 12.5f;
  bar.high = 12.875f;
  bar.low = -1.0f;  // not in the layout
  bar.close = 12.625f;
  bar.volume = 15300;
  bar.oi = 0.0f;
  EXPECT_EQ(core::quote_cell_texts(bar),
            (std::array<std::string, 7>{"01/03/00", "12.5000", "12.8750", "N/A", "12.6250", "15300",
                                        "0"}));
  bar.date = 0;
  EXPECT_EQ(core::quote_cell_texts(bar)[0], "00/00/00");
}

// The texts must carry printf's digits exactly, rounding of halfway cases and huge values
// included, for grid cells and exported rows alike.
TEST(QuoteTexts, DigitsEqualPrintfOverAWideRangeOfValues) {
  std::vector<float> values = {0.0f,
                               0.5f,
                               1.5f,
                               2.5f,
                               0.00005f,
                               0.00006f,
                               0.00015f,
                               0.125f,
                               0.375f,
                               1234.5f,
                               1235.5f,
                               12.34565f,
                               99999.99995f,
                               3.4e38f,
                               3.0e9f,
                               1e-30f,
                               16777217.0f,
                               0.03125f,
                               0.15625f,
                               33554432.0f,
                               67108864.0f,
                               1.0e-45f,
                               std::numeric_limits<float>::infinity()};
  std::uint32_t bits = 0x3F800000u;
  for (int i = 0; i < 20000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    float v;
    const std::uint32_t positive = bits & 0x7F7FFFFFu;  // finite and not negative
    std::memcpy(&v, &positive, sizeof v);
    values.push_back(v);
    // Prices and volumes as files hold them (below 2^25, down to 2^-27), where rounding ties
    // of the exact binary value are met.
    const std::uint32_t everyday = ((bits >> 8) & 0x7FFFFFu) | ((100u + (bits & 63u) % 52u) << 23);
    std::memcpy(&v, &everyday, sizeof v);
    values.push_back(v);
  }
  core::ExportOptions options;
  options.omit_open = options.omit_high = options.omit_low = options.omit_oi = true;
  constexpr const char* kFormats[] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f"};
  for (float v : values) {
    for (int decimals = 0; decimals <= 4; ++decimals) {
      std::string text;
      core::append_fixed(text, v, decimals);
      ASSERT_EQ(text, printf_text(kFormats[decimals], v)) << v;
    }
    ASSERT_EQ(core::price_text(v), printf_text("%.4f", v)) << v;
    ASSERT_EQ(core::quantity_text(v), printf_text("%.0f", v)) << v;
    qdb::QuoteBar bar;
    bar.close = v;
    bar.volume = v;
    ASSERT_EQ(core::export_data_row(bar, options),
              "00/00/00 " + printf_text("%.4f", v) + " " + printf_text("%.2f", v))
        << v;
  }
}

}  // namespace
