// MBF <-> IEEE conversions: golden cells, exact round trips and out-of-range values.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "qdb/mbf.h"
#include "support/temp_dir.h"

namespace {

using Cell = std::array<std::uint8_t, 4>;

Cell mbf_to_ieee_cell(const Cell& in) {
  Cell out{};
  EXPECT_EQ(qdb::mbf_to_ieee(in.data(), out.data()), 0);
  return out;
}

Cell ieee_to_mbf_cell(const Cell& in) {
  Cell out{};
  EXPECT_EQ(qdb::ieee_to_mbf(in.data(), out.data()), 0);
  return out;
}

Cell ieee_of(float v) {
  Cell c{};
  qdb::float_to_ieee_bytes(v, c.data());
  return c;
}

float float_of(const Cell& ieee) { return qdb::ieee_bytes_to_float(ieee.data()); }

// tests/data/golden/mbf_cells.bin: 8-byte entries, an MBF cell in file order followed by the
// little-endian IEEE single of the same value, each worked out from the value's binary form.
struct GoldenCell {
  Cell mbf;
  Cell ieee;
};

std::vector<GoldenCell> golden_cells() {
  const std::string bytes =
      testing_support::read_bytes(testing_support::test_data("golden/mbf_cells.bin"));
  std::vector<GoldenCell> cells;
  for (std::size_t i = 0; i + 8 <= bytes.size(); i += 8) {
    GoldenCell g;
    for (int k = 0; k < 4; ++k) {
      g.mbf[k] = static_cast<std::uint8_t>(bytes[i + k]);
      g.ieee[k] = static_cast<std::uint8_t>(bytes[i + 4 + k]);
    }
    cells.push_back(g);
  }
  return cells;
}

TEST(MbfGolden, BothDirectionsAreByteExact) {
  const auto cells = golden_cells();
  ASSERT_GE(cells.size(), 40u);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    SCOPED_TRACE("cell " + std::to_string(i));
    EXPECT_EQ(mbf_to_ieee_cell(cells[i].mbf), cells[i].ieee);
    EXPECT_EQ(ieee_of(qdb::mbf_to_float(cells[i].mbf.data())), cells[i].ieee);
    EXPECT_EQ(ieee_to_mbf_cell(cells[i].ieee), cells[i].mbf);
  }
}

TEST(MbfZero, ExponentZeroIsZeroWhateverTheFractionAndConversionsWorkInPlace) {
  EXPECT_EQ(mbf_to_ieee_cell({0x12, 0x34, 0xD6, 0x00}), (Cell{0, 0, 0, 0}));
  EXPECT_EQ(mbf_to_ieee_cell({0xFF, 0xFF, 0xFF, 0x00}), (Cell{0, 0, 0, 0}));
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(-0.0f)), (Cell{0, 0, 0, 0}));
  Cell c{0x00, 0x00, 0x20, 0x84};
  qdb::mbf_to_ieee(c.data(), c.data());
  EXPECT_EQ(c, ieee_of(10.0f));
  qdb::ieee_to_mbf(c.data(), c.data());
  EXPECT_EQ(c, (Cell{0x00, 0x00, 0x20, 0x84}));
}

TEST(MbfRoundTrip, EveryQuoteExponentComesBackUnchanged) {
  const std::uint8_t fractions[][3] = {
      {0, 0, 0}, {0xFF, 0xFF, 0x7F}, {0x01, 0x00, 0x00}, {0x5A, 0xA5, 0x3C}};
  for (int b3 = 3; b3 <= 255; ++b3) {
    for (const auto& f : fractions) {
      for (std::uint8_t sign : {std::uint8_t{0}, std::uint8_t{0x80}}) {
        const Cell mbf{f[0], f[1], static_cast<std::uint8_t>(f[2] | sign),
                       static_cast<std::uint8_t>(b3)};
        const Cell ieee = mbf_to_ieee_cell(mbf);
        ASSERT_EQ(ieee_to_mbf_cell(ieee), mbf) << "exponent byte " << b3;
        // The value itself: (-1)^sign * 1.fraction * 2^(b3 - 129).
        const double fraction = ((f[2] & 0x7F) * 65536.0 + f[1] * 256.0 + f[0]) / 8388608.0;
        const double expected = (sign ? -1.0 : 1.0) * std::ldexp(1.0 + fraction, b3 - 129);
        ASSERT_EQ(static_cast<double>(float_of(ieee)), expected) << "exponent byte " << b3;
      }
    }
  }
}

TEST(MbfRoundTrip, RandomNormalSinglesComeBackUnchanged) {
  std::mt19937 rng(20000103);
  std::uniform_int_distribution<std::uint32_t> fraction(0, 0x7FFFFF);
  std::uniform_int_distribution<std::uint32_t> exponent(1, 253);
  for (int i = 0; i < 20000; ++i) {
    const std::uint32_t bits =
        (static_cast<std::uint32_t>(i & 1) << 31) | (exponent(rng) << 23) | fraction(rng);
    const Cell ieee{static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                    static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    ASSERT_EQ(mbf_to_ieee_cell(ieee_to_mbf_cell(ieee)), ieee) << std::hex << bits;
    const float v = float_of(ieee);
    std::uint8_t cell[4];
    qdb::float_to_mbf(v, cell);
    ASSERT_EQ(qdb::mbf_to_float(cell), v);
  }
}

TEST(MbfOutOfRange, TinyAndHugeValuesStayInRange) {
  for (std::uint8_t b3 : {std::uint8_t{1}, std::uint8_t{2}}) {
    for (std::uint8_t sign : {std::uint8_t{0}, std::uint8_t{0x80}}) {
      const Cell mbf{0x00, 0x00, static_cast<std::uint8_t>(0x40 | sign), b3};
      const float v = float_of(mbf_to_ieee_cell(mbf));
      const double expected = (sign ? -1.0 : 1.0) * std::ldexp(1.5, b3 - 129);
      EXPECT_EQ(static_cast<double>(v), expected);
      // Back again: the same cell, since no fraction bits were dropped.
      EXPECT_EQ(ieee_to_mbf_cell(mbf_to_ieee_cell(mbf)), mbf);
    }
  }
  // Subnormals below MBF's range become zero; huge, infinite and NaN values never wrap.
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(std::numeric_limits<float>::denorm_min())),
            (Cell{0, 0, 0, 0}));
  const Cell largest{0xFF, 0xFF, 0x7F, 0xFF};
  const Cell largest_negative{0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(std::ldexp(1.0f, 127))), largest);
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(std::numeric_limits<float>::max())), largest);
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(std::numeric_limits<float>::infinity())), largest);
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(-std::numeric_limits<float>::infinity())), largest_negative);
  EXPECT_EQ(ieee_to_mbf_cell(ieee_of(std::numeric_limits<float>::quiet_NaN())), (Cell{0, 0, 0, 0}));
  // The largest MBF magnitude is a finite float.
  EXPECT_TRUE(std::isfinite(float_of(mbf_to_ieee_cell(largest))));
  EXPECT_LT(float_of(mbf_to_ieee_cell(largest_negative)), -1e38f);
}

}  // namespace
