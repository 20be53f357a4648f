#include "qdb/portfolio_lookup.h"

#include <algorithm>
#include <memory>

#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/lookup_detail.h"
#include "qdb/master_file.h"
#include "qdb/text.h"

namespace qdb {

PortfolioLookup::PortfolioLookup(const DirListing& listing) {
  std::unique_ptr<ReadFile> file = file_system().open_read(master_path(listing));
  MasterHeader header;
  if (!file || file->read(header.bytes.data(), kMasterRecordSize) != kMasterRecordSize) return;
  m_ok = true;
  const std::size_t n = header.count();
  std::vector<std::uint8_t> buffer;
  const std::size_t got = detail::read_master_records(*file, 1, n, buffer);
  // A short MASTER ends its entries at the last whole record, as the lookup's does.
  for (std::size_t i = 0; i < got && i < n; ++i) {
    MasterRecord record = detail::master_record_at(buffer, i);
    if (record.is_directory()) {
      m_directories.push_back(record);
      continue;
    }
    detail::dates_to_native(record);
    m_entries.push_back(record);
  }
  m_by_number = positions_of(m_entries);
  if (listing.contains("XMASTER")) m_xmaster_path = listing.resolve("XMASTER");
}

const MasterRecord* PortfolioLookup::find(std::string_view key, int file_number) const {
  if (file_number == 0) return nullptr;
  if (const MasterRecord* entry = find_in(m_entries, m_by_number, key, file_number)) return entry;
  read_extended();
  return find_in(m_extended, m_extended_by_number, key, file_number);
}

std::optional<MasterRecord> PortfolioLookup::find_directory(std::string_view key) const {
  for (const MasterRecord& record : m_directories) {
    if (symbol_matches(record, key) || equals_ignore_case(record.directory_name(), key))
      return record;
  }
  return std::nullopt;
}

std::vector<MasterRecord> PortfolioLookup::all() const {
  read_extended();
  std::vector<MasterRecord> entries = m_entries;
  entries.insert(entries.end(), m_extended.begin(), m_extended.end());
  return entries;
}

const MasterRecord* PortfolioLookup::find_in(const std::vector<MasterRecord>& entries,
                                             const Positions& by_number, std::string_view key,
                                             int file_number) {
  // Entries sharing a number are tried in file order, as the lookup meets them.
  auto it = std::lower_bound(by_number.begin(), by_number.end(),
                             std::pair<int, std::size_t>(file_number, 0));
  for (; it != by_number.end() && it->first == file_number; ++it) {
    const MasterRecord& entry = entries[it->second];
    if (symbol_matches(entry, key)) return &entry;
  }
  return nullptr;
}

void PortfolioLookup::read_extended() const {
  if (m_extended_read) return;
  m_extended_read = true;
  if (m_xmaster_path.empty()) return;
  m_extended = read_xmaster_entries(m_xmaster_path).value_or(std::vector<MasterRecord>{});
  for (MasterRecord& entry : m_extended) detail::dates_to_native(entry);
  m_extended_by_number = positions_of(m_extended);
}

PortfolioLookup::Positions PortfolioLookup::positions_of(const std::vector<MasterRecord>& entries) {
  Positions positions;
  positions.reserve(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    positions.emplace_back(entries[i].file_number(), i);
  std::sort(positions.begin(), positions.end());
  return positions;
}

}  // namespace qdb
