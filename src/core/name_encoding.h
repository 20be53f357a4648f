// The code page a portfolio's names are shown and written in: the one the user chose for it,
// or "auto", the page its names read best in (qdb/code_page.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/code_page.h"

namespace qdb {
class DirListing;
}

namespace core {

inline constexpr const char* kAutoEncoding = "auto";

// A setting or option: "auto" (page empty) or a page's name. ok is false for another text.
struct EncodingChoice {
  bool ok = true;
  std::optional<qdb::CodePage> page;
};
EncodingChoice parse_encoding(std::string_view text);

// "auto, latin1, cp1250, ..., cp866": what an encoding may be, for usage texts.
std::string encoding_names();

// The names of the portfolio whose MASTER is master_path, as stored: the symbols and issue
// names of its MASTER and XMASTER entries and the long names of its EMASTER. files, when given
// and of the MASTER's directory, names the other index files.
std::vector<std::string> portfolio_names(const std::string& master_path,
                                         const qdb::DirListing* files = nullptr);

// The page the names of that portfolio are read in: chosen when given, else the one they read
// best in.
qdb::CodePage names_code_page(const std::string& master_path, std::optional<qdb::CodePage> chosen,
                              const qdb::DirListing* files = nullptr);

// A name given in UTF-8 as the bytes of page; the refusal names the character it can't hold.
struct StoredName {
  std::optional<std::string> bytes;
  std::string refusal;
};
StoredName stored_name(std::string_view utf8, qdb::CodePage page);

}  // namespace core
