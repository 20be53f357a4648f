#include "core/name_encoding.h"

#include "core/symbol_listing.h"

namespace core {

EncodingChoice parse_encoding(std::string_view text) {
  if (text == kAutoEncoding) return {};
  const std::optional<qdb::CodePage> page = qdb::code_page_named(text);
  return {page.has_value(), page};
}

std::string encoding_names() {
  std::string names = kAutoEncoding;
  for (const qdb::CodePage page : qdb::all_code_pages())
    names += std::string(", ") + qdb::code_page_name(page);
  return names;
}

std::vector<std::string> portfolio_names(const std::string& master_path,
                                         const qdb::DirListing* files) {
  std::vector<std::string> names;
  SymbolListingSink sink;
  sink.warning = [](const std::string&) {};
  // A name of printable ASCII alone reads the same under every page and scores nothing, so
  // only the others are kept: a listing of tens of thousands of plain names costs no scoring.
  auto telling = [](const std::string& name) {
    for (const char c : name) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte >= 0x7F) return true;
    }
    return false;
  };
  sink.row = [&names, &telling](const SymbolRow& row) {
    for (const std::string* name : {&row.symbol, &row.name, &row.long_name})
      if (telling(*name)) names.push_back(*name);
  };
  list_symbols(master_path, sink, files, /*long_names=*/true);
  return names;
}

qdb::CodePage names_code_page(const std::string& master_path, std::optional<qdb::CodePage> chosen,
                              const qdb::DirListing* files) {
  if (chosen) return *chosen;
  return qdb::detect_code_page(portfolio_names(master_path, files));
}

StoredName stored_name(std::string_view utf8, qdb::CodePage page) {
  qdb::EncodedName encoded = qdb::encode_name(utf8, page);
  if (encoded.bytes) return {std::move(encoded.bytes), {}};
  return {std::nullopt, qdb::unwritable_name_message(encoded, page)};
}

}  // namespace core
