#include "core/verify_index.h"

#include <algorithm>

#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/mbf.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace core {
namespace {

std::string iso(qdb::DateSerial date) {
  return date == 0 ? std::string("no date")
                   : qdb::format_date(date, qdb::DateFormat::kYyyyMmDd, '-');
}

bool daily(const qdb::MasterRecord& entry) {
  const char periodicity = entry.periodicity();
  return periodicity == 'D' || periodicity == 'd';
}

// The header count of an index file held raw, and the finding when it counts more entries than
// the file holds.
void count_finding(const std::optional<qdb::RawIndexFile>& file, int count_offset,
                   std::string_view name, std::vector<Finding>& out) {
  if (!file) return;
  const auto* header = reinterpret_cast<const std::uint8_t*>(file->header.data());
  const int count = qdb::read_u16le(header + count_offset);
  if (count <= static_cast<int>(file->records.size())) return;
  Finding finding;
  finding.kind = FindingKind::kIndexCount;
  finding.values = std::string(name) + " counts " + std::to_string(count) + " entries but holds " +
                   std::to_string(file->records.size());
  out.push_back(std::move(finding));
}

}  // namespace

std::string_view index_file_text(IndexFileName file) {
  switch (file) {
    case IndexFileName::kMaster:
      return "MASTER";
    case IndexFileName::kEmaster:
      return "EMASTER";
    case IndexFileName::kXmaster:
      return "XMASTER";
  }
  return "MASTER";
}

bool SymbolFile::whole() const {
  const auto length = static_cast<std::uint64_t>(records.length);
  return readable && length > 0 && size % length == 0 &&
         static_cast<std::uint64_t>(std::max(header_records, 1)) == size / length &&
         records.count + 1 == size / length;
}

SymbolFile read_symbol_file(const qdb::DirListing& listing, const qdb::MasterRecord& entry,
                            std::vector<std::uint8_t>& bytes) {
  SymbolFile file;
  const int length = entry.record_length();
  file.name = qdb::split_path(listing.resolve(qdb::quote_file_name(entry.file_number()))).second;
  if (length < 4) {
    file.failure = "record length " + std::to_string(length) + " holds no date";
    return file;
  }
  qdb::SeriesReader reader;
  const qdb::StatusCode opened = reader.open(listing, entry);
  if (opened != qdb::kSuccess) {
    file.failure = file.name + ": " + qdb::status_text(opened);
    return file;
  }
  // At most the header and the most quotes a header can count.
  const std::uint64_t most = static_cast<std::uint64_t>(length) * qdb::kMaxDataRecords;
  if (!reader.read_whole(bytes, most, file.size)) {
    file.failure = file.name + ": " + qdb::status_text(qdb::kFileRead);
    return file;
  }
  file.readable = true;
  file.layout = reader.layout();
  file.header_records = reader.header_records();
  const std::size_t held = bytes.size() / static_cast<std::size_t>(length);
  file.records.bytes = held > 1 ? bytes.data() + length : bytes.data();
  file.records.count = held > 1 ? held - 1 : 0;
  file.records.length = length;
  file.records.field_count = entry.field_count();
  file.records.layout = file.layout;
  file.records.form = reader.date_form();
  file.records.daily = daily(entry) && file.layout.column[qdb::kTime] <= 0;
  return file;
}

IndexFiles::IndexFiles(const qdb::DirListing& listing) {
  if (listing.contains("EMASTER")) {
    qdb::Result<qdb::RawIndexFile> read =
        qdb::read_raw_index(listing.resolve("EMASTER"), qdb::kEmasterRecordSize);
    if (read) m_emaster = std::move(*read);
  }
  if (listing.contains("XMASTER")) {
    qdb::Result<qdb::RawIndexFile> read =
        qdb::read_raw_index(listing.resolve("XMASTER"), qdb::kXmasterRecordSize);
    if (read) m_xmaster = std::move(*read);
  }
  if (m_emaster)
    for (std::size_t i = 0; i < m_emaster->records.size(); ++i)
      m_emaster_by_number.emplace(qdb::emaster_file_number(m_emaster->entry(i)), i);
}

std::vector<Finding> IndexFiles::count_findings() const {
  std::vector<Finding> out;
  count_finding(m_emaster, qdb::emaster_offset::kCount, "EMASTER", out);
  count_finding(m_xmaster, qdb::xmaster_offset::kCount, "XMASTER", out);
  return out;
}

std::vector<Finding> IndexFiles::entry_findings(const qdb::MasterRecord& entry,
                                                const SymbolFile& file) const {
  std::vector<Finding> out;
  auto add = [&out](FindingKind kind, std::string values) {
    Finding finding;
    finding.kind = kind;
    finding.values = std::move(values);
    out.push_back(std::move(finding));
  };
  const std::string_view own = entry.is_extended() ? "XMASTER" : "MASTER";
  if (entry.record_length() != 4 * entry.field_count())
    add(FindingKind::kIndexFields, std::string(own) + " record length " +
                                       std::to_string(entry.record_length()) + " for " +
                                       std::to_string(entry.field_count()) + " fields");
  if (!entry.is_extended() && m_emaster) {
    const auto found = m_emaster_by_number.find(entry.file_number());
    if (found != m_emaster_by_number.end()) {
      const int fields = m_emaster->entry(found->second)[qdb::emaster_offset::kFieldCount];
      if (fields != entry.field_count())
        add(FindingKind::kIndexFields, "EMASTER " + std::to_string(fields) + " fields, MASTER " +
                                           std::to_string(entry.field_count()));
    }
  }
  if (!file.readable) {
    add(FindingKind::kUnreadable, file.failure);
    return out;
  }
  const auto length = static_cast<std::uint64_t>(file.records.length);
  if (file.size % length != 0)
    add(FindingKind::kRecordLength, file.name + " holds " + std::to_string(file.size) +
                                        " bytes, no whole number of " + std::to_string(length) +
                                        "-byte records");
  const std::uint64_t held = file.size / length;
  if (held > 0 && static_cast<std::uint64_t>(file.header_records) != held)
    add(FindingKind::kHeaderCount, file.name + " header counts " +
                                       std::to_string(std::max(file.header_records - 1, 0)) +
                                       " quotes, the file holds " + std::to_string(held - 1));
  return out;
}

std::vector<IndexDateFix> IndexFiles::date_fixes(const qdb::MasterRecord& entry,
                                                 const SymbolFile& file,
                                                 const MendedOrder& mended) const {
  std::vector<IndexDateFix> fixes;
  // Dates are judged only against a file whose header and length agree: which of its records
  // are quotes is otherwise a choice, which the header-count finding leaves to the user.
  if (!file.whole() || mended.order.empty()) return fixes;
  const qdb::DateSerial oldest = mended.bars[mended.order.front()].date;
  const qdb::DateSerial newest = mended.bars[mended.order.back()].date;
  if (oldest == 0 || newest == 0) return fixes;
  const qdb::DateForm form = file.records.form;
  auto compare = [&](IndexFileName name, float first_real, float last_real) {
    const qdb::DateSerial first = qdb::date_from_real(first_real, form);
    const qdb::DateSerial last = qdb::date_from_real(last_real, form);
    if (first != oldest) fixes.push_back({name, false, first, oldest});
    if (last != newest) fixes.push_back({name, true, last, newest});
  };
  // The lookup's entries hold native reals in their date fields.
  compare(entry.is_extended() ? IndexFileName::kXmaster : IndexFileName::kMaster,
          qdb::ieee_bytes_to_float(entry.bytes.data() + qdb::master_offset::kFirstDate),
          qdb::ieee_bytes_to_float(entry.bytes.data() + qdb::master_offset::kLastDate));
  if (!entry.is_extended() && m_emaster) {
    const auto found = m_emaster_by_number.find(entry.file_number());
    if (found != m_emaster_by_number.end()) {
      const std::uint8_t* raw = m_emaster->entry(found->second);
      compare(IndexFileName::kEmaster,
              qdb::ieee_bytes_to_float(raw + qdb::emaster_offset::kFirstDate),
              qdb::ieee_bytes_to_float(raw + qdb::emaster_offset::kLastDate));
    }
  }
  return fixes;
}

std::vector<Finding> IndexFiles::date_findings(const qdb::MasterRecord& entry,
                                               const SymbolFile& file,
                                               const MendedOrder& mended) const {
  std::vector<Finding> out;
  for (const IndexDateFix& fix : date_fixes(entry, file, mended)) {
    Finding finding;
    finding.kind = FindingKind::kIndexDate;
    finding.date = fix.wanted;
    finding.values = std::string(index_file_text(fix.file)) + (fix.last ? " last" : " first") +
                     " date " + iso(fix.stored) + ", " + (fix.last ? "newest" : "oldest") +
                     " quote " + iso(fix.wanted);
    out.push_back(std::move(finding));
  }
  return out;
}

}  // namespace core
