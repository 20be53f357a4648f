// The code page tables on characters each page is known for, the way back from UTF-8, and the
// choice of page for names as different machines wrote them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qdb/code_page.h"

namespace {

using qdb::CodePage;

struct KnownByte {
  CodePage page;
  unsigned char byte;
  const char* utf8;
};

// A few bytes of each page that tell it from its neighbours.
const KnownByte kKnown[] = {
    {CodePage::kLatin1, 0xE9, "é"},        {CodePage::kLatin1, 0x80, "\xC2\x80"},
    {CodePage::kCp1250, 0xA3, "Ł"},        {CodePage::kCp1250, 0x9F, "ź"},
    {CodePage::kCp1250, 0xE8, "č"},        {CodePage::kCp1251, 0xC0, "А"},
    {CodePage::kCp1251, 0xFF, "я"},        {CodePage::kCp1251, 0xA8, "Ё"},
    {CodePage::kCp1251, 0xB9, "№"},        {CodePage::kCp1252, 0x80, "€"},
    {CodePage::kCp1252, 0x9F, "Ÿ"},        {CodePage::kCp1252, 0xE9, "é"},
    {CodePage::kCp1253, 0xC1, "Α"},        {CodePage::kCp1253, 0xF9, "ω"},
    {CodePage::kCp1253, 0xA2, "Ά"},        {CodePage::kCp1254, 0xD0, "Ğ"},
    {CodePage::kCp1254, 0xFD, "ı"},        {CodePage::kCp1254, 0xDD, "İ"},
    {CodePage::kCp1255, 0xE0, "א"},        {CodePage::kCp1255, 0xFA, "ת"},
    {CodePage::kCp1255, 0xA4, "₪"},        {CodePage::kCp1256, 0xC7, "ا"},
    {CodePage::kCp1256, 0xE1, "ل"},        {CodePage::kCp1256, 0x81, "پ"},
    {CodePage::kCp1256, 0xE9, "é"},        {CodePage::kCp1257, 0xC0, "Ą"},
    {CodePage::kCp1257, 0xFB, "ū"},        {CodePage::kCp1257, 0xD0, "Š"},
    {CodePage::kCp1258, 0xD5, "Ơ"},        {CodePage::kCp1258, 0xFE, "₫"},
    {CodePage::kCp1258, 0xEC, "\xCC\x81"}, {CodePage::kCp437, 0x81, "ü"},
    {CodePage::kCp437, 0xC9, "╔"},         {CodePage::kCp437, 0xE1, "ß"},
    {CodePage::kCp866, 0x80, "А"},         {CodePage::kCp866, 0xAF, "п"},
    {CodePage::kCp866, 0xE0, "р"},         {CodePage::kCp866, 0xF1, "ё"},
};

TEST(CodePage, KnownBytesReadAndWriteBack) {
  for (const KnownByte& known : kKnown) {
    const std::string byte(1, static_cast<char>(known.byte));
    const char* page = qdb::code_page_name(known.page);
    EXPECT_EQ(qdb::decode_name(byte, known.page), known.utf8) << page << " " << int{known.byte};
    EXPECT_EQ(qdb::encode_name(known.utf8, known.page).bytes, byte) << page;
  }
}

// Every byte of every page comes back as itself (no character twice in a table), an undefined
// one through the private character it reads as; ASCII is ASCII everywhere.
TEST(CodePage, EveryByteRoundTrips) {
  for (const CodePage page : qdb::all_code_pages()) {
    for (int value = 1; value < 256; ++value) {
      const std::string byte(1, static_cast<char>(value));
      const std::string text = qdb::decode_name(byte, page);
      EXPECT_EQ(qdb::encode_name(text, page).bytes, byte) << qdb::code_page_name(page) << value;
      if (value < 0x80) {
        EXPECT_EQ(text, byte);
      }
    }
  }
  EXPECT_EQ(qdb::decode_name("\x98", CodePage::kCp1251), "\xEF\x9E\x98");  // U+F798
}

TEST(CodePage, NamesAndRefusals) {
  EXPECT_EQ(qdb::code_page_named("CP1251"), CodePage::kCp1251);
  EXPECT_EQ(qdb::code_page_named("windows-1256"), CodePage::kCp1256);
  EXPECT_EQ(qdb::code_page_named("Latin-1"), CodePage::kLatin1);
  EXPECT_EQ(qdb::code_page_named("auto"), std::nullopt);
  EXPECT_EQ(qdb::code_page_named("utf-8"), std::nullopt);

  const qdb::EncodedName refused = qdb::encode_name("Caf\xC3\xA9", CodePage::kCp1251);
  EXPECT_FALSE(refused.bytes);
  EXPECT_EQ(qdb::unwritable_name_message(refused, CodePage::kCp1251),
            "The name can't be written in cp1251: the character \"é\" (U+00E9) has no place "
            "in it.");
  // Bytes that are not UTF-8 are taken as they are.
  EXPECT_EQ(qdb::encode_name("\xC3\xE0\xE7", CodePage::kCp1251).bytes, "\xC3\xE0\xE7");
}

struct Detection {
  const char* what;
  std::vector<std::string> names;
  CodePage expected;
};

TEST(CodePage, AutoChoosesThePageNamesReadBestIn) {
  const Detection cases[] = {
      {"ASCII", {"ACME", "Acme Corp", "BETA 2"}, CodePage::kLatin1},
      {"Western",
       {"Nestl\xE9", "Soci\xE9t\xE9 G\xE9n\xE9rale",
        "M\x9A"
        "ller"},
       CodePage::kCp1252},
      {"Russian",  // Газпром, Сбербанк, ГМК Норникель
       {"\xC3\xE0\xE7\xEF\xF0\xEE\xEC", "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA",
        "\xC3\xCC\xCA \xCD\xEE\xF0\xED\xE8\xEA\xE5\xEB\xFC"},
       CodePage::kCp1251},
      {"Russian in DOS",  // Газпром, Сбербанк
       {"\x83\xA0\xA7\xAF\xE0\xAE\xAC", "\x91\xA1\xA5\xE0\xA1\xA0\xAD\xAA"},
       CodePage::kCp866},
      {"Arabic",  // أرامكو, الراجحي, الاتصالات
       {"\xC3\xD1\xC7\xE3\xDF\xE6", "\xC7\xE1\xD1\xC7\xCC\xCD\xED",
        "\xC7\xE1\xC7\xCA\xD5\xC7\xE1\xC7\xCA"},
       CodePage::kCp1256},
      {"Greek",  // Τράπεζα Πειραιώς
       {"\xD4\xF1\xDC\xF0\xE5\xE6\xE1 \xD0\xE5\xE9\xF1\xE1\xE9\xFE\xF2"},
       CodePage::kCp1253},
      {"Polish",
       {"\xA3\xF3"
        "d\x9F",
        "Pozna\xF1"},
       CodePage::kCp1250},
      {"controls everywhere",
       {"A\x01"
        "B"},
       CodePage::kLatin1},
  };
  for (const Detection& c : cases)
    EXPECT_EQ(qdb::code_page_name(qdb::detect_code_page(c.names)),
              std::string(qdb::code_page_name(c.expected)))
        << c.what;
}

}  // namespace
