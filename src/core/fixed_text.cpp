// Fixed-point number texts. A float is m * 2^e with m below 2^24, so m * 10^decimals * 2^e is
// worked out exactly in 64-bit integers for every value below 2^25: the rounding is done on
// the exact remainder, as printf does, and only the digits remain to be written. Larger values
// (no price or volume of the file family) go through std::to_chars, which gives the same
// digits more slowly.
#include "core/fixed_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace core {
namespace {

constexpr std::uint64_t kPowersOfTen[5] = {1, 10, 100, 1000, 10000};
// Above this exponent m * 2^e * 10^4 no longer fits in 63 bits.
constexpr int kLargestExactExponent = 25;

// "00" to "99": two digits per step.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr auto kPowers = [] {
  std::array<std::uint64_t, 20> powers{};
  powers[0] = 1;
  for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
  return powers;
}();

// The number of decimal digits of value (1 for 0): log10 estimated from the bit length, then
// corrected by one comparison.
int digit_count(std::uint64_t value) {
  const int estimate = ((64 - std::countl_zero(value | 1u)) * 1233) >> 12;
  return estimate + (value >= kPowers[static_cast<std::size_t>(estimate)] ? 1 : 0) +
         (value == 0 ? 1 : 0);
}

void put_pair(char* out, std::uint64_t pair) { std::memcpy(out, &kDigitPairs[2 * pair], 2); }

// Writes the digits of value so that they end at end, and answers where they begin.
char* write_digits_back(char* end, std::uint64_t value) {
  while (value >= 100) {
    end -= 2;
    put_pair(end, value % 100);
    value /= 100;
  }
  if (value >= 10) {
    end -= 2;
    put_pair(end, value);
  } else {
    *--end = static_cast<char>('0' + value);
  }
  return end;
}

// Writes scaled / Scale with Digits digits after the point (Scale = 10^Digits), straight into
// out: the integer part's length is known first, so every digit lands in its place at once.
template <std::uint64_t Scale, int Digits>
char* write_point(char* out, std::uint64_t scaled) {
  const std::uint64_t whole = scaled / Scale;
  std::uint64_t fraction = scaled % Scale;
  char* const point = out + digit_count(whole);
  write_digits_back(point, whole);
  if constexpr (Digits == 0) {
    return point;
  } else {
    *point = '.';
    char* const end = point + 1 + Digits;
    char* p = end;
    for (int i = Digits; i >= 2; i -= 2) {
      p -= 2;
      put_pair(p, fraction % 100);
      fraction /= 100;
    }
    if constexpr (Digits % 2 != 0) *--p = static_cast<char>('0' + fraction);
    return end;
  }
}

}  // namespace

char* write_fixed(char* out, float value, int decimals) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const int biased = static_cast<int>((bits >> 23) & 0xFFu);
  std::uint64_t mantissa = bits & 0x7FFFFFu;
  int exponent = -149;  // subnormal
  if (biased != 0) {
    mantissa |= 0x800000u;
    exponent = biased - 150;
  }
  if (decimals < 0 || decimals > 4 || exponent > kLargestExactExponent || (bits >> 31) != 0 ||
      biased == 0xFF) {
    const auto [end, error] = std::to_chars(out, out + kFixedTextMax, static_cast<double>(value),
                                            std::chars_format::fixed, decimals);
    return error == std::errc() ? end : out;
  }

  const std::uint64_t scale = kPowersOfTen[decimals];
  std::uint64_t scaled = mantissa * scale;  // below 2^38
  if (exponent >= 0) {
    scaled <<= exponent;
  } else {
    const int shift = -exponent;
    if (shift >= 40) {
      scaled = 0;  // below half a unit of the last digit
    } else {
      const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
      const std::uint64_t half = std::uint64_t{1} << (shift - 1);
      scaled >>= shift;
      if (remainder > half || (remainder == half && (scaled & 1u) != 0)) ++scaled;
    }
  }

  // Constant divisors let the compiler multiply instead of divide.
  switch (decimals) {
    case 0:
      return write_point<1, 0>(out, scaled);
    case 1:
      return write_point<10, 1>(out, scaled);
    case 2:
      return write_point<100, 2>(out, scaled);
    case 3:
      return write_point<1000, 3>(out, scaled);
    default:
      return write_point<10000, 4>(out, scaled);
  }
}

void append_fixed(std::string& text, float value, int decimals) {
  char buffer[kFixedTextMax];
  text.append(buffer, write_fixed(buffer, value, decimals));
}

}  // namespace core
