// Reading and writing names in a single-byte code page, and choosing the page names read best
// in.
#include "qdb/code_page.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "qdb/code_page_tables.h"

namespace qdb {
namespace {

struct PageNames {
  CodePage page;
  const char* name;
  const char* alias;  // the IANA "windows-125x" / "ibm437" spelling
  const char* title;
};

constexpr std::array<PageNames, 12> kPages{{
    {CodePage::kLatin1, "latin1", "iso-8859-1", "Western (Latin-1)"},
    {CodePage::kCp1250, "cp1250", "windows-1250", "Central European (cp1250)"},
    {CodePage::kCp1251, "cp1251", "windows-1251", "Cyrillic (cp1251)"},
    {CodePage::kCp1252, "cp1252", "windows-1252", "Western (cp1252)"},
    {CodePage::kCp1253, "cp1253", "windows-1253", "Greek (cp1253)"},
    {CodePage::kCp1254, "cp1254", "windows-1254", "Turkish (cp1254)"},
    {CodePage::kCp1255, "cp1255", "windows-1255", "Hebrew (cp1255)"},
    {CodePage::kCp1256, "cp1256", "windows-1256", "Arabic (cp1256)"},
    {CodePage::kCp1257, "cp1257", "windows-1257", "Baltic (cp1257)"},
    {CodePage::kCp1258, "cp1258", "windows-1258", "Vietnamese (cp1258)"},
    {CodePage::kCp437, "cp437", "ibm437", "DOS Latin US (cp437)"},
    {CodePage::kCp866, "cp866", "ibm866", "DOS Cyrillic (cp866)"},
}};

constexpr std::array<CodePage, 12> kOrder{
    CodePage::kLatin1, CodePage::kCp1250, CodePage::kCp1251, CodePage::kCp1252,
    CodePage::kCp1253, CodePage::kCp1254, CodePage::kCp1255, CodePage::kCp1256,
    CodePage::kCp1257, CodePage::kCp1258, CodePage::kCp437,  CodePage::kCp866,
};

// Which page wins when several read the names equally well: the commonest first.
constexpr std::array<CodePage, 11> kPreference{
    CodePage::kCp1252, CodePage::kCp1251, CodePage::kCp1250, CodePage::kCp1253,
    CodePage::kCp1254, CodePage::kCp1257, CodePage::kCp1256, CodePage::kCp1255,
    CodePage::kCp1258, CodePage::kCp866,  CodePage::kCp437,
};

const PageNames& names_of(CodePage page) {
  for (const PageNames& names : kPages)
    if (names.page == page) return names;
  return kPages[0];
}

char lower_ascii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower_ascii(a[i]) != lower_ascii(b[i])) return false;
  return true;
}

// Where the bytes a page leaves undefined are read to: private characters no page holds.
constexpr char32_t kUndefinedBase = 0xF700;

char32_t code_point(unsigned char byte, CodePage page) {
  return byte < 0x80 ? byte : code_page_detail::upper_half(page)[byte - 0x80];
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code points of a UTF-8 text, or nullopt when it is not well-formed UTF-8.
std::optional<std::u32string> utf8_code_points(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      length = 1, cp = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07;
    } else {
      return std::nullopt;
    }
    if (i + length > text.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return std::nullopt;
    out += cp;
    i += length;
  }
  return out;
}

// --- What a character is, for choosing the page -------------------------------------------

enum class Kind { kControl, kLetter, kMark, kNeutral, kSymbol };
enum class Script : unsigned {
  kNone = 0,
  kLatin = 1,
  kGreek = 2,
  kCyrillic = 4,
  kHebrew = 8,
  kArabic = 16
};
enum class Case { kNone, kUpper, kLower };

struct CharClass {
  Kind kind;
  Script script = Script::kNone;
  Case letter_case = Case::kNone;
};

Case even_upper(char32_t cp) { return cp % 2 == 0 ? Case::kUpper : Case::kLower; }

// Upper or lower case of the Latin letters the pages hold beyond Latin-1.
Case latin_extended_case(char32_t cp) {
  if (cp == 0x0138 || cp == 0x0149 || cp == 0x017F || cp == 0x0192 || cp == 0x0131)
    return Case::kLower;
  if (cp == 0x0178 || cp == 0x0130) return Case::kUpper;
  if ((cp >= 0x0139 && cp <= 0x0148) || (cp >= 0x0179 && cp <= 0x017E))
    return cp % 2 == 1 ? Case::kUpper : Case::kLower;
  if (cp == 0x01AF) return Case::kUpper;
  if (cp == 0x01B0) return Case::kLower;
  return even_upper(cp);
}

CharClass classify(char32_t cp) {
  if (cp == 0 || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) return {Kind::kControl};
  if (cp >= 'A' && cp <= 'Z') return {Kind::kLetter, Script::kLatin, Case::kUpper};
  if (cp >= 'a' && cp <= 'z') return {Kind::kLetter, Script::kLatin, Case::kLower};
  if (cp < 0x80 || cp == 0x00A0 || (cp >= 0x200C && cp <= 0x200F)) return {Kind::kNeutral};
  if (cp >= 0x00C0 && cp <= 0x00FF && cp != 0x00D7 && cp != 0x00F7)
    return {Kind::kLetter, Script::kLatin, cp <= 0x00DE ? Case::kUpper : Case::kLower};
  if (cp >= 0x0100 && cp <= 0x024F) return {Kind::kLetter, Script::kLatin, latin_extended_case(cp)};
  if (cp >= 0x0300 && cp <= 0x036F) return {Kind::kMark};
  if (cp == 0x0390 || (cp >= 0x03AC && cp <= 0x03CE))
    return {Kind::kLetter, Script::kGreek, Case::kLower};
  if (cp == 0x0386 || (cp >= 0x0388 && cp <= 0x03AB && cp != 0x038B && cp != 0x038D))
    return {Kind::kLetter, Script::kGreek, Case::kUpper};
  if (cp >= 0x0400 && cp <= 0x042F) return {Kind::kLetter, Script::kCyrillic, Case::kUpper};
  if (cp >= 0x0430 && cp <= 0x045F) return {Kind::kLetter, Script::kCyrillic, Case::kLower};
  if (cp >= 0x0460 && cp <= 0x04FF) return {Kind::kLetter, Script::kCyrillic, even_upper(cp)};
  if ((cp >= 0x05B0 && cp <= 0x05BD) || cp == 0x05BF || cp == 0x05C1 || cp == 0x05C2)
    return {Kind::kMark};
  if ((cp >= 0x05D0 && cp <= 0x05EA) || (cp >= 0x05F0 && cp <= 0x05F2))
    return {Kind::kLetter, Script::kHebrew};
  if (cp == 0x060C || cp == 0x061B || cp == 0x061F) return {Kind::kNeutral};
  if (cp >= 0x064B && cp <= 0x0652) return {Kind::kMark};
  if ((cp >= 0x0621 && cp <= 0x064A) || (cp >= 0x0671 && cp <= 0x06D3))
    return {Kind::kLetter, Script::kArabic};
  return {Kind::kSymbol};
}

// How well names read in a page: the letters of plausible words, less those of implausible
// ones and the symbols. nullopt when a byte is a control or undefined there.
std::optional<long> reading_score(const std::vector<std::string>& names, CodePage page) {
  long score = 0;
  int accented = 0, plain = 0;
  unsigned scripts = 0;
  Case first = Case::kNone, later = Case::kNone;
  bool mixed_case = false;
  std::size_t cased = 0;
  auto end_word = [&] {
    if (accented > 0) {
      const bool one_script = (scripts & (scripts - 1)) == 0;
      const bool latin = scripts == static_cast<unsigned>(Script::kLatin);
      // "ABC", "abc" and "Abc" are how words are cased; "aBc" or "ABc" are not.
      const bool cased_well = !mixed_case && (cased < 2 || first == later || first == Case::kUpper);
      // A Latin word of accented letters alone is another script read in the wrong page.
      const bool plausible = one_script && cased_well && (!latin || plain > 0 || accented == 1);
      score += plausible ? accented : -accented;
    }
    accented = plain = 0;
    scripts = 0;
    first = later = Case::kNone;
    mixed_case = false;
    cased = 0;
  };
  for (const std::string& name : names) {
    for (const char c : name) {
      const auto byte = static_cast<unsigned char>(c);
      const CharClass what = classify(code_point(byte, page));
      switch (what.kind) {
        case Kind::kControl:
          return std::nullopt;
        case Kind::kLetter:
          (byte < 0x80 ? plain : accented) += 1;
          scripts |= static_cast<unsigned>(what.script);
          if (what.letter_case != Case::kNone) {
            if (cased == 0) {
              first = what.letter_case;
            } else if (cased == 1) {
              later = what.letter_case;
            } else if (what.letter_case != later) {
              mixed_case = true;
            }
            ++cased;
          }
          break;
        case Kind::kMark:
          break;
        case Kind::kSymbol:
          if (byte >= 0x80) --score;
          end_word();
          break;
        case Kind::kNeutral:
          end_word();
          break;
      }
    }
    end_word();
  }
  return score;
}

}  // namespace

std::span<const CodePage> all_code_pages() { return kOrder; }

const char* code_page_name(CodePage page) { return names_of(page).name; }

const char* code_page_title(CodePage page) { return names_of(page).title; }

std::optional<CodePage> code_page_named(std::string_view name) {
  if (same_name(name, "latin-1") || same_name(name, "iso8859-1")) return CodePage::kLatin1;
  for (const PageNames& names : kPages)
    if (same_name(name, names.name) || same_name(name, names.alias)) return names.page;
  return std::nullopt;
}

std::string decode_name(std::string_view bytes, CodePage page) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const char32_t cp = code_point(static_cast<unsigned char>(c), page);
    append_utf8(out, cp == 0 && c != '\0' ? kUndefinedBase + static_cast<unsigned char>(c) : cp);
  }
  return out;
}

EncodedName encode_name(std::string_view utf8, CodePage page) {
  const std::optional<std::u32string> points = utf8_code_points(utf8);
  if (!points) return {std::string(utf8), {}, {}};
  const code_page_detail::UpperHalf& half = code_page_detail::upper_half(page);
  std::string bytes;
  bytes.reserve(points->size());
  for (const char32_t cp : *points) {
    if (cp < 0x80 || (cp >= kUndefinedBase + 0x80 && cp <= kUndefinedBase + 0xFF)) {
      bytes += static_cast<char>(cp - (cp < 0x80 ? 0 : kUndefinedBase));
      continue;
    }
    std::size_t at = 0;
    while (at < half.size() && half[at] != cp) ++at;
    if (at == half.size()) {
      EncodedName refused;
      append_utf8(refused.unwritable, cp);
      char code[16];
      std::snprintf(code, sizeof code, " (U+%04lX)", static_cast<unsigned long>(cp));
      refused.unwritable_code = code;
      return refused;
    }
    bytes += static_cast<char>(0x80 + at);
  }
  return {std::move(bytes), {}, {}};
}

std::string unwritable_name_message(const EncodedName& encoded, CodePage page) {
  return std::string("The name can't be written in ") + code_page_name(page) +
         ": the character \"" + encoded.unwritable + "\"" + encoded.unwritable_code +
         " has no place in it.";
}

CodePage detect_code_page(const std::vector<std::string>& names) {
  std::optional<CodePage> best;
  long best_score = 0;
  for (const CodePage page : kPreference) {
    const std::optional<long> score = reading_score(names, page);
    if (score && *score > best_score) {
      best = page;
      best_score = *score;
    }
  }
  return best.value_or(CodePage::kLatin1);
}

}  // namespace qdb
