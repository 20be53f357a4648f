// The single-byte code pages the names in MASTER, EMASTER and XMASTER are written in: each
// holds the code page of the machine that wrote it, and nothing in the files says which. Names
// are read into UTF-8 and written back from UTF-8 through a page's table; the bytes of a name
// nobody changes are never converted at all.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qdb {

enum class CodePage {
  kLatin1,
  kCp1250,
  kCp1251,
  kCp1252,
  kCp1253,
  kCp1254,
  kCp1255,
  kCp1256,
  kCp1257,
  kCp1258,
  kCp437,
  kCp866,
};

// Every page, in the order menus and usage texts list them.
std::span<const CodePage> all_code_pages();

// The page's name as options and settings spell it: "latin1", "cp1251", "cp437".
const char* code_page_name(CodePage page);
// The page's name for people: "Cyrillic (cp1251)".
const char* code_page_title(CodePage page);
// The page a name means, without regard to case ("cp1251", "windows-1251", "latin1",
// "latin-1", "iso-8859-1"); nullopt for another text, "auto" included.
std::optional<CodePage> code_page_named(std::string_view name);

// The UTF-8 text of bytes read in page. A byte b the page leaves undefined reads as the private
// character U+F700 + b, which encode_name writes back as b, so that every name read can be
// given back as the bytes it came from.
std::string decode_name(std::string_view bytes, CodePage page);

// The bytes of a UTF-8 text written in page, or the first character the page can't hold.
// Text that is not UTF-8 is taken as the bytes it is (as a name given in the file's own bytes).
struct EncodedName {
  std::optional<std::string> bytes;
  std::string unwritable;       // the character (UTF-8) when bytes is empty
  std::string unwritable_code;  // and its code point: " (U+00E9)"
};
EncodedName encode_name(std::string_view utf8, CodePage page);

// The refusal of a name page can't hold: "The name can't be written in cp1251: the character
// "é" (U+00E9) has no place in it."
std::string unwritable_name_message(const EncodedName& encoded, CodePage page);

// The page under which names read best: every byte a character (no control, nothing
// undefined), the letters of each word of one script, no Latin word of accented letters alone,
// and upper and lower case in an order words have. Names of ASCII
// bytes alone read the same in every page: then, as when no page reads them cleanly, Latin-1.
CodePage detect_code_page(const std::vector<std::string>& names);

}  // namespace qdb
