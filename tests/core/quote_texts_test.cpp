// Cell texts of the quotes grid.
#include "core/quote_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "core/export.h"
#include "qdb/dates.h"

namespace {

TEST(QuoteTexts, PricesHaveFourDecimalsQuantitiesNone) {
  EXPECT_EQ(core::price_text(12.3f), "12.3000");
  EXPECT_EQ(core::price_text(0.0f), "0.0000");
  EXPECT_EQ(core::price_text(0.00006f), "0.0001");
  EXPECT_EQ(core::quantity_text(1234.5f), "1234");  // round half to even in printf
  EXPECT_EQ(core::quantity_text(1235.5f), "1236");
  EXPECT_EQ(core::quantity_text(0.0f), "0");
  EXPECT_EQ(core::quantity_text(3.0e9f), "3000000000");
}

TEST(QuoteTexts, NegativeAndNotANumberReadNotAvailable) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(core::price_text(-1.0f), "N/A");
  EXPECT_EQ(core::price_text(-0.0001f), "N/A");
  EXPECT_EQ(core::price_text(nan), "N/A");
  EXPECT_EQ(core::quantity_text(-1.0f), "N/A");
  EXPECT_EQ(core::quantity_text(nan), "N/A");
}

TEST(QuoteTexts, RowOfSevenCells) {
  qdb::QuoteBar bar;
  bar.date = qdb::date_serial(2000, 1, 3);
  bar.open = 12.5f;
  bar.high = 12.875f;
  bar.low = -1.0f;  // not in the layout
  bar.close = 12.625f;
  bar.volume = 15300;
  bar.oi = -1.0f;
  const auto cells = core::quote_cell_texts(bar);
  EXPECT_EQ(cells[0], "01/03/00");
  EXPECT_EQ(cells[1], "12.5000");
  EXPECT_EQ(cells[2], "12.8750");
  EXPECT_EQ(cells[3], "N/A");
  EXPECT_EQ(cells[4], "12.6250");
  EXPECT_EQ(cells[5], "15300");
  EXPECT_EQ(cells[6], "N/A");
  bar.date = 0;
  EXPECT_EQ(core::quote_cell_texts(bar)[0], "00/00/00");
}

}  // namespace

namespace {

std::string printf_text(const char* format, float value) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, static_cast<double>(value));
  return buffer;
}

// The texts must carry printf's digits exactly, rounding of halfway cases and huge values
// included, for grid cells and exported rows alike.
TEST(QuoteTexts, DigitsEqualPrintfOverAWideRangeOfValues) {
  std::vector<float> values = {0.5f,    1.5f,   2.5f,       0.00005f,  0.00015f,
                               0.125f,  0.375f, 1234.5f,    12.34565f, 99999.99995f,
                               3.4e38f, 1e-30f, 16777217.0f};
  std::uint32_t bits = 0x3F800000u;
  for (int i = 0; i < 20000; ++i) {
    bits = bits * 1664525u + 1013904223u;
    float v;
    const std::uint32_t positive = bits & 0x7F7FFFFFu;  // finite and not negative
    std::memcpy(&v, &positive, sizeof v);
    values.push_back(v);
  }
  core::ExportOptions options;
  options.omit_open = options.omit_high = options.omit_low = options.omit_oi = true;
  for (float v : values) {
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
