// Conversions between the file family's MBF single reals and IEEE singles.
//
// Both directions work on byte images in a fixed order (MBF file order, IEEE little-endian),
// so the results do not depend on the host's byte order. Native floats are built from and
// taken to those images through a 32-bit integer assembled byte by byte.
#include "qdb/mbf.h"

#include <bit>
#include <cstring>

namespace qdb {
namespace {

std::uint32_t load_u32le(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void store_u32le(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  p[2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
  p[3] = static_cast<std::uint8_t>((v >> 24) & 0xFF);
}

void store_zero(std::uint8_t* p) { std::memset(p, 0, 4); }

}  // namespace

StatusCode mbf_to_ieee(const std::uint8_t* src, std::uint8_t* dst) {
  const std::uint8_t b0 = src[0], b1 = src[1], b2 = src[2], b3 = src[3];
  if (b3 == 0) {  // MBF zero, whatever the fraction bytes hold
    store_zero(dst);
    return kSuccess;
  }
  const std::uint32_t sign = (b2 >> 7) & 1u;
  if (b3 < 3) {
    // Magnitudes below 2^-126 (exponent bytes 1 and 2) are IEEE subnormals: the implied
    // leading one becomes an explicit fraction bit, shifted right by 1 or 2 places.
    const std::uint32_t fraction = 0x800000u | (static_cast<std::uint32_t>(b2 & 0x7F) << 16) |
                                   (static_cast<std::uint32_t>(b1) << 8) | b0;
    const std::uint32_t subnormal = fraction >> (3 - b3);
    store_u32le(dst, (sign << 31) | subnormal);
    return kSuccess;
  }
  const unsigned e = static_cast<unsigned>(b3) - 2u;  // 1..253
  dst[0] = b0;
  dst[1] = b1;
  dst[2] = static_cast<std::uint8_t>(((e & 1u) << 7) | (b2 & 0x7Fu));
  dst[3] = static_cast<std::uint8_t>((sign << 7) | (e >> 1));
  return kSuccess;
}

StatusCode ieee_to_mbf(const std::uint8_t* src, std::uint8_t* dst) {
  const std::uint32_t bits = load_u32le(src);
  const std::uint32_t sign = bits >> 31;
  const std::uint32_t e = (bits >> 23) & 0xFFu;
  const std::uint32_t fraction = bits & 0x7FFFFFu;

  if ((bits & 0x7FFFFFFFu) == 0) {  // +0.0 and -0.0
    store_zero(dst);
    return kSuccess;
  }
  if (e == 0xFF && fraction != 0) {  // not a number: stored as zero rather than as a price
    store_zero(dst);
    return kSuccess;
  }
  if (e >= 254) {
    // 2^127 and above (and infinities) exceed MBF's range: clamp to its largest magnitude.
    dst[0] = 0xFF;
    dst[1] = 0xFF;
    dst[2] = static_cast<std::uint8_t>((sign << 7) | 0x7Fu);
    dst[3] = 0xFF;
    return kSuccess;
  }
  if (e == 0) {
    // Subnormals: MBF reaches down to 2^-128 (exponent byte 1); the bits that no longer fit
    // are dropped, and smaller magnitudes become zero.
    std::uint32_t mbf_fraction;
    std::uint8_t mbf_exponent;
    if (fraction & 0x400000u) {
      mbf_fraction = (fraction << 1) & 0x7FFFFFu;
      mbf_exponent = 2;
    } else if (fraction & 0x200000u) {
      mbf_fraction = (fraction << 2) & 0x7FFFFFu;
      mbf_exponent = 1;
    } else {
      store_zero(dst);
      return kSuccess;
    }
    dst[0] = static_cast<std::uint8_t>(mbf_fraction & 0xFF);
    dst[1] = static_cast<std::uint8_t>((mbf_fraction >> 8) & 0xFF);
    dst[2] = static_cast<std::uint8_t>((sign << 7) | ((mbf_fraction >> 16) & 0x7Fu));
    dst[3] = mbf_exponent;
    return kSuccess;
  }
  dst[0] = static_cast<std::uint8_t>(fraction & 0xFF);
  dst[1] = static_cast<std::uint8_t>((fraction >> 8) & 0xFF);
  dst[2] = static_cast<std::uint8_t>((sign << 7) | ((fraction >> 16) & 0x7Fu));
  dst[3] = static_cast<std::uint8_t>(e + 2);
  return kSuccess;
}

float mbf_to_float(const std::uint8_t* cell) {
  const std::uint32_t b3 = cell[3];
  if (b3 >= 3) {
    // The common case, a normal number, assembled in one step as mbf_to_ieee lays it out.
    const std::uint32_t b2 = cell[2];
    return std::bit_cast<float>(((b2 & 0x80u) << 24) | ((b3 - 2u) << 23) | ((b2 & 0x7Fu) << 16) |
                                (static_cast<std::uint32_t>(cell[1]) << 8) | cell[0]);
  }
  std::uint8_t ieee[4];
  mbf_to_ieee(cell, ieee);
  return ieee_bytes_to_float(ieee);
}

void float_to_mbf(float value, std::uint8_t* cell) {
  std::uint8_t ieee[4];
  float_to_ieee_bytes(value, ieee);
  ieee_to_mbf(ieee, cell);
}

void float_to_ieee_bytes(float value, std::uint8_t* dst) {
  store_u32le(dst, std::bit_cast<std::uint32_t>(value));
}

float ieee_bytes_to_float(const std::uint8_t* src) { return std::bit_cast<float>(load_u32le(src)); }

}  // namespace qdb
