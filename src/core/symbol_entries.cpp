#include "core/symbol_entries.h"

#include "qdb/master_file.h"
#include "qdb/text.h"

namespace core {
namespace {

// A stored text as compared: up to a zero byte, trailing blanks removed.
std::string compared_text(std::string text) {
  const std::size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  qdb::trim_right(text);
  return text;
}

}  // namespace

std::string entry_description(const qdb::MasterRecord& record) {
  return "F" + std::to_string(record.file_number()) + " " + compared_text(record.symbol_field()) +
         " (" + compared_text(record.issue_name_field()) + ")";
}

std::optional<std::vector<qdb::MasterRecord>> entries_named(
    const std::string& dir, const std::function<bool(const qdb::MasterRecord&)>& names) {
  const qdb::DirListing listing(qdb::normalize_dir(dir));
  const qdb::Result<PortfolioIndex> index =
      read_portfolio_index(qdb::master_path(listing), &listing);
  if (!index) return std::nullopt;
  std::vector<qdb::MasterRecord> named;
  auto take = [&](const qdb::MasterRecord& record) {
    if (!record.is_directory() && names(record)) named.push_back(record);
  };
  for (const qdb::MasterRecord& record : index->master.records) take(record);
  for (std::size_t i = 0; i < xmaster_count(*index); ++i)
    take(entry_record(*index, IndexEntry{true, i}));
  return named;
}

bool same_symbol(const std::string& a, const std::string& b) {
  return qdb::equals_ignore_case(compared_text(a), compared_text(b));
}

std::optional<IndexEntry> other_entry_with_symbol(const PortfolioIndex& index,
                                                  const std::string& symbol, IndexEntry skip) {
  std::optional<IndexEntry> found;
  auto check = [&](const qdb::MasterRecord& record, IndexEntry at) {
    if (found || (at.extended == skip.extended && at.index == skip.index)) return;
    if (!record.is_directory() && same_symbol(record.symbol_field(), symbol)) found = at;
  };
  for (std::size_t i = 0; i < index.master.records.size(); ++i)
    check(index.master.records[i], IndexEntry{false, i});
  for (std::size_t i = 0; i < xmaster_count(index); ++i)
    check(entry_record(index, IndexEntry{true, i}), IndexEntry{true, i});
  return found;
}

}  // namespace core
