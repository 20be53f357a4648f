// The tables behind qdb/code_page.h: for each code page, the code point of each byte from 0x80
// to 0xFF, or 0 where the page defines none.
#pragma once

#include <array>

#include "qdb/code_page.h"

namespace qdb::code_page_detail {

using UpperHalf = std::array<char16_t, 128>;

const UpperHalf& upper_half(CodePage page);

}  // namespace qdb::code_page_detail
