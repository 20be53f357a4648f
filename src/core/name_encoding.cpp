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
  sink.row = [&names](const SymbolRow& row) {
    names.push_back(row.symbol);
    names.push_back(row.name);
    if (!row.long_name.empty()) names.push_back(row.long_name);
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
