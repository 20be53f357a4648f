// Fixed-point number texts. A float is m * 2^e with m below 2^24, so m * 10^decimals * 2^e is
// worked out exactly in 64-bit integers for every value below 2^25: the rounding is done on
// the exact remainder, as printf does, and only the digits remain to be written. Larger values
// (no price or volume of the file family) go through std::to_chars, which gives the same
// digits more slowly.
#include "core/fixed_text.h"

#include <bit>
#include <charconv>
#include <cstdint>

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

char* write_unsigned(char* out, std::uint64_t value) {
  char digits[20];
  int n = 20;
  while (value >= 100) {
    const std::uint64_t pair = value % 100;
    value /= 100;
    n -= 2;
    digits[n] = kDigitPairs[2 * pair];
    digits[n + 1] = kDigitPairs[2 * pair + 1];
  }
  if (value >= 10) {
    n -= 2;
    digits[n] = kDigitPairs[2 * value];
    digits[n + 1] = kDigitPairs[2 * value + 1];
  } else {
    digits[--n] = static_cast<char>('0' + value);
  }
  for (int i = n; i < 20; ++i) *out++ = digits[i];
  return out;
}

// The integer part of scaled / Scale, the point and the Digits digits of the rest.
template <std::uint64_t Scale, int Digits>
char* write_fraction(char* out, std::uint64_t scaled) {
  out = write_unsigned(out, scaled / Scale);
  *out++ = '.';
  std::uint64_t fraction = scaled % Scale;
  int i = Digits;
  for (; i >= 2; i -= 2) {
    const std::uint64_t pair = fraction % 100;
    fraction /= 100;
    out[i - 2] = kDigitPairs[2 * pair];
    out[i - 1] = kDigitPairs[2 * pair + 1];
  }
  if (i == 1) out[0] = static_cast<char>('0' + fraction);
  return out + Digits;
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
      return write_unsigned(out, scaled);
    case 2:
      return write_fraction<100, 2>(out, scaled);
    case 4:
      return write_fraction<10000, 4>(out, scaled);
    case 1:
      return write_fraction<10, 1>(out, scaled);
    default:
      return write_fraction<1000, 3>(out, scaled);
  }
}

void append_fixed(std::string& text, float value, int decimals) {
  char buffer[kFixedTextMax];
  text.append(buffer, write_fixed(buffer, value, decimals));
}

}  // namespace core
