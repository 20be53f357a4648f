// The file family's 4-byte real (Microsoft Binary Format single precision).
#pragma once

#include <cstdint>

#include "qdb/status.h"

namespace qdb {

// Four bytes in file order b0..b3: b3 exponent, b2 bit 7 sign, 23 fraction bits below.
struct MbfReal {
  std::uint8_t bytes[4] = {0, 0, 0, 0};
};

// Converts one MBF cell to an IEEE single in little-endian byte order. src may equal dst.
StatusCode mbf_to_ieee(const std::uint8_t* src, std::uint8_t* dst);
// Converts one little-endian IEEE single to an MBF cell. src may equal dst.
StatusCode ieee_to_mbf(const std::uint8_t* src, std::uint8_t* dst);

// The native value of an MBF cell.
float mbf_to_float(const std::uint8_t* cell);
// Stores a native value as an MBF cell.
void float_to_mbf(float value, std::uint8_t* cell);
inline MbfReal to_mbf(float value) {
  MbfReal r;
  float_to_mbf(value, r.bytes);
  return r;
}

// Little-endian IEEE byte images of a native float (used for the in-memory MasterRecord dates).
void float_to_ieee_bytes(float value, std::uint8_t* dst);
float ieee_bytes_to_float(const std::uint8_t* src);

}  // namespace qdb
