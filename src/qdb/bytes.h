// Little-endian field access, byte by byte, independent of the host's byte order.
#pragma once

#include <cstdint>

namespace qdb {

inline std::uint16_t read_u16le(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t read_i16le(const std::uint8_t* p) {
  return static_cast<std::int16_t>(read_u16le(p));
}
inline void write_u16le(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace qdb
