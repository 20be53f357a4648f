// Fixed-point number texts, exactly as printf's "%.<decimals>f" writes a float, without printf.
#pragma once

#include <string>

namespace core {

// Longest text append_fixed writes: a float's integer digits (39), the point and 4 decimals.
inline constexpr int kFixedTextMax = 48;

// Writes value (finite, zero or more) with decimals (0 to 4) digits after the point to out,
// which has room for kFixedTextMax characters, and answers the end. The digits are those of
// printf's "%.<decimals>f" for the value as a double: the exact binary value rounded to
// nearest, an exact tie to the even digit.
char* write_fixed(char* out, float value, int decimals);

// The same appended to text.
void append_fixed(std::string& text, float value, int decimals);

}  // namespace core
