#include "core/portfolio_index.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_transaction.h"

namespace core {
namespace {

namespace e = qdb::emaster_offset;
namespace x = qdb::xmaster_offset;

std::uint8_t* header_bytes(qdb::RawIndexFile& file) {
  return reinterpret_cast<std::uint8_t*>(file.header.data());
}

void add_to_counter(std::uint8_t* at, int delta) {
  const int value = qdb::read_u16le(at) + delta;
  if (value >= 0 && value <= 0xFFFF) qdb::write_u16le(at, static_cast<std::uint16_t>(value));
}

// The EMASTER entry of a file number; nullopt when the EMASTER holds none.
std::optional<std::size_t> emaster_entry_of(const PortfolioIndex& index, int file_number) {
  if (!index.emaster) return std::nullopt;
  for (std::size_t i = 0; i < index.emaster->records.size(); ++i)
    if (qdb::emaster_file_number(index.emaster->entry(i)) == file_number) return i;
  return std::nullopt;
}

// Why the file as read may not be rewritten: its header counts other entries than it holds.
// Empty when they agree (or the file is new).
std::string counts_problem(const std::string& path, const std::string& bytes,
                           std::size_t record_size, int count_offset) {
  if (bytes.size() < record_size) return {};
  const std::size_t held = (bytes.size() - record_size) / record_size;
  const std::size_t counted =
      qdb::read_u16le(reinterpret_cast<const std::uint8_t*>(bytes.data()) + count_offset);
  if (counted == held && (bytes.size() - record_size) % record_size == 0) return {};
  return qdb::file_name_of(path) + " counts " + std::to_string(counted) + " entries but holds " +
         std::to_string(held) +
         ((bytes.size() - record_size) % record_size != 0 ? " and a piece of a record" : "") +
         "; it is not rewritten. Check and repair the portfolio first.";
}

// The whole file at path as it is, with its identity; for an index file too damaged to read
// as one, whose bytes a repair must be able to put back.
qdb::Result<qdb::RawIndexFile> read_damaged(const std::string& path) {
  std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return qdb::error_of(path, errno, qdb::kFileOpen);
  qdb::RawIndexFile image;
  image.tail.assign(static_cast<std::size_t>(file->size()), '\0');
  if (file->read(image.tail.data(), image.tail.size()) != image.tail.size())
    return qdb::error_of(path, EIO, qdb::kFileRead);
  image.identity = file->identity();
  return image;
}

// The index file at path in records of record_size; with rebuild_damaged, one shorter than a
// header record comes back with no header (its bytes as the tail) for the caller to rebuild.
qdb::Result<qdb::RawIndexFile> read_index(const std::string& path, std::size_t record_size,
                                          bool rebuild_damaged) {
  qdb::Result<qdb::RawIndexFile> image = qdb::read_raw_index(path, record_size);
  if (image || !rebuild_damaged) return image;
  const std::optional<std::uint64_t> size = qdb::file_system().file_size(path);
  if (!size || *size >= record_size) return image;
  return read_damaged(path);
}

}  // namespace

qdb::Result<PortfolioIndex> read_portfolio_index(const std::string& master_path,
                                                 const qdb::DirListing* listed,
                                                 bool rebuild_damaged) {
  PortfolioIndex index;
  index.master_path = qdb::resolve_path(master_path);
  index.dir = qdb::split_path(index.master_path).first;
  qdb::Result<MasterImage> master = read_master_image(index.master_path);
  if (!master) return std::move(master).error();
  index.master = std::move(*master);
  index.master_original = master_image_bytes(index.master);
  // The caller's listing of the MASTER's directory when it has one, else a listing of its own.
  std::optional<qdb::DirListing> own;
  const qdb::DirListing& listing =
      listed != nullptr && listed->dir() == index.dir ? *listed : own.emplace(index.dir);
  // A directory that can't be listed may hold an EMASTER and an XMASTER all the same: changing
  // the MASTER alone would part it from them.
  if (!listing.ok()) return listing.error();
  if (listing.contains("EMASTER")) {
    index.emaster_path = listing.resolve("EMASTER");
    qdb::Result<qdb::RawIndexFile> emaster =
        read_index(index.emaster_path, qdb::kEmasterRecordSize, rebuild_damaged);
    if (!emaster) return std::move(emaster).error();
    index.emaster = std::move(emaster).value();
    index.emaster_original = index.emaster->bytes();
    if (index.emaster->header.empty()) {
      // Too short for its header: rebuilt from nothing (the repair adds the MASTER's entries).
      index.emaster->header.assign(qdb::kEmasterRecordSize, '\0');
      index.emaster->tail.clear();
      index.emaster_changed = true;
    }
  }
  index.xmaster_path = listing.resolve("XMASTER");
  if (listing.contains("XMASTER")) {
    qdb::Result<qdb::RawIndexFile> xmaster =
        read_index(index.xmaster_path, qdb::kXmasterRecordSize, rebuild_damaged);
    if (!xmaster) return std::move(xmaster).error();
    index.xmaster = std::move(xmaster).value();
    index.xmaster_original = index.xmaster->bytes();
    if (index.xmaster->header.empty()) {
      qdb::RawIndexFile fresh = qdb::new_xmaster();
      fresh.identity = index.xmaster->identity;
      *index.xmaster = std::move(fresh);
      index.xmaster_changed = true;
    }
    auto* header = header_bytes(*index.xmaster);
    if (header[x::kMagic] != 'X' || header[x::kMagic + 1] != 'M') {
      if (!rebuild_damaged)
        return qdb::Error{qdb::kFileRead,
                          qdb::file_name_of(index.xmaster_path) + " is not an XMASTER file"};
      // The records stay; only the mark that names the file is set again.
      header[x::kMagic] = 'X';
      header[x::kMagic + 1] = 'M';
      index.xmaster_changed = true;
    }
  }
  return index;
}

std::size_t xmaster_count(const PortfolioIndex& index) {
  if (!index.xmaster) return 0;
  const auto* header = reinterpret_cast<const std::uint8_t*>(index.xmaster->header.data());
  return std::min<std::size_t>(qdb::read_u16le(header + x::kCount), index.xmaster->records.size());
}

qdb::MasterRecord entry_record(const PortfolioIndex& index, IndexEntry entry) {
  if (!entry.extended) return index.master.records[entry.index];
  return qdb::master_record_from_xmaster(index.xmaster->entry(entry.index));
}

std::string entry_long_name(const PortfolioIndex& index, IndexEntry entry) {
  if (entry.extended) return qdb::xmaster_long_name(index.xmaster->entry(entry.index));
  const auto at = emaster_entry_of(index, index.master.records[entry.index].file_number());
  return at ? qdb::emaster_long_name(index.emaster->entry(*at)) : std::string();
}

bool index_uses_number(const PortfolioIndex& index, int file_number) {
  return find_entry(index,
                    [file_number](const qdb::MasterRecord& record) {
                      return record.file_number() == file_number;
                    })
      .has_value();
}

void rename_entry(PortfolioIndex& index, IndexEntry entry, std::string_view symbol,
                  std::string_view name) {
  if (entry.extended) {
    qdb::rename_xmaster_entry(index.xmaster->entry(entry.index), symbol, name);
    index.xmaster_changed = true;
    return;
  }
  qdb::MasterRecord& record = index.master.records[entry.index];
  record.set_symbol(symbol);
  record.set_issue_name(name);
  index.master_changed = true;
  if (const auto at = emaster_entry_of(index, record.file_number())) {
    qdb::rename_emaster_entry(index.emaster->entry(*at), symbol, name);
    index.emaster_changed = true;
  }
}

void remove_entry(PortfolioIndex& index, IndexEntry entry) {
  if (entry.extended) {
    auto& records = index.xmaster->records;
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(entry.index));
    auto* header = header_bytes(*index.xmaster);
    add_to_counter(header + x::kCount, -1);
    add_to_counter(header + x::kCount2, -1);
    index.xmaster_changed = true;
    return;
  }
  const int number = index.master.records[entry.index].file_number();
  auto& records = index.master.records;
  records.erase(records.begin() + static_cast<std::ptrdiff_t>(entry.index));
  lower_counts(index.master.header);
  index.master_changed = true;
  // Another MASTER entry may share the number (a damaged MASTER): its EMASTER entry stays.
  if (index_uses_number(index, number)) return;
  if (const auto at = emaster_entry_of(index, number)) {
    auto& entries = index.emaster->records;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(*at));
    auto* header = header_bytes(*index.emaster);
    add_to_counter(header + e::kCount, -1);
    add_to_counter(header + e::kCount2, -1);
    index.emaster_changed = true;
  }
}

EntryToAdd entry_to_add(const PortfolioIndex& index, IndexEntry entry) {
  EntryToAdd add;
  add.record = entry_record(index, entry);
  add.long_name = entry_long_name(index, entry);
  if (entry.extended) {
    add.xmaster_entry = index.xmaster->records[entry.index];
  } else if (const auto at = emaster_entry_of(index, add.record.file_number())) {
    add.emaster_entry = index.emaster->records[*at];
  }
  return add;
}

int free_file_number(const PortfolioIndex& index, const qdb::DirListing& listing) {
  auto free = [&](int n) {
    return !index_uses_number(index, n) && !listing.contains(qdb::quote_file_name(n)) &&
           !listing.contains(qdb::data_file_name(n, "DOP"));
  };
  const bool master_full = index.master.header.count() >= qdb::kMaxSymbols ||
                           index.master.header.count2() >= qdb::kMaxSymbols;
  if (!master_full) {
    for (int n = 1; n <= qdb::kMaxSymbols; ++n)
      if (free(n)) return n;
  }
  for (int n = qdb::kFirstExtendedNumber; n <= 0xFFFF; ++n)
    if (free(n)) return n;
  return 0;
}

void add_entry(PortfolioIndex& index, const EntryToAdd& entry, int number) {
  if (number < qdb::kFirstExtendedNumber) {
    qdb::MasterRecord record = entry.record;
    record.extended_number = 0;
    record.bytes[qdb::master_offset::kFileNumber] = static_cast<std::uint8_t>(number);
    index.master.records.push_back(record);
    raise_counts(index.master.header);
    index.master_changed = true;
    if (!index.emaster) return;
    std::string bytes = entry.emaster_entry;
    if (bytes.size() != qdb::kEmasterRecordSize) {
      bytes.assign(qdb::kEmasterRecordSize, '\0');
      qdb::fill_emaster_entry(reinterpret_cast<std::uint8_t*>(bytes.data()), record, number,
                              entry.long_name);
    }
    bytes[e::kFileNumber] = static_cast<char>(number);
    index.emaster->records.push_back(bytes);
    auto* header = header_bytes(*index.emaster);
    add_to_counter(header + e::kCount, 1);
    add_to_counter(header + e::kCount2, 1);
    index.emaster_changed = true;
    return;
  }
  if (!index.xmaster) index.xmaster = qdb::new_xmaster();
  // Entries past the header's count are not the XMASTER's: the new one follows the counted.
  index.xmaster->records.resize(xmaster_count(index));
  index.xmaster->tail.clear();
  std::string bytes = entry.xmaster_entry;
  if (bytes.size() != qdb::kXmasterRecordSize) {
    bytes.assign(qdb::kXmasterRecordSize, '\0');
    qdb::MasterRecord record = entry.record;
    qdb::fill_xmaster_entry(reinterpret_cast<std::uint8_t*>(bytes.data()), record, number,
                            entry.long_name);
  }
  qdb::write_u16le(reinterpret_cast<std::uint8_t*>(bytes.data()) + x::kFileNumber,
                   static_cast<std::uint16_t>(number));
  index.xmaster->records.push_back(bytes);
  auto* header = header_bytes(*index.xmaster);
  add_to_counter(header + x::kCount, 1);
  add_to_counter(header + x::kCount2, 1);
  if (qdb::read_u16le(header + x::kNextNumber) <= number && number < 0xFFFF)
    qdb::write_u16le(header + x::kNextNumber, static_cast<std::uint16_t>(number + 1));
  index.xmaster_changed = true;
}

qdb::Result<void> write_portfolio_index(PortfolioIndex& index, std::string_view temp_suffix,
                                        bool backup, std::string* restore_failed,
                                        qdb::PortfolioTransaction* joined) {
  // The files changed: their content, and as read (empty: the file did not exist).
  struct Changed {
    std::string path;
    std::string bytes;
    const std::string& original;
    const std::optional<qdb::FileIdentity>& identity;
  };
  std::vector<Changed> files;
  if (index.xmaster_changed && index.xmaster)
    files.push_back({index.xmaster_path, index.xmaster->bytes(), index.xmaster_original,
                     index.xmaster->identity});
  if (index.emaster_changed && index.emaster)
    files.push_back({index.emaster_path, index.emaster->bytes(), index.emaster_original,
                     index.emaster->identity});
  if (index.master_changed)
    files.push_back({index.master_path, master_image_bytes(index.master), index.master_original,
                     index.master.identity});
  if (files.empty()) return {};
  if (!index.mends_counts) {
    for (const Changed& file : files) {
      const bool x = file.path == index.xmaster_path;
      const bool e = !x && file.path == index.emaster_path;
      const std::string problem =
          x   ? counts_problem(file.path, file.original, qdb::kXmasterRecordSize, x::kCount)
          : e ? counts_problem(file.path, file.original, qdb::kEmasterRecordSize, e::kCount)
              : std::string();
      if (!problem.empty()) return qdb::Error{qdb::kFileWrite, problem};
    }
  }
  const bool backups = backup || files.size() > 1 || !index.master_changed;

  std::optional<qdb::PortfolioTransaction> own;
  qdb::PortfolioTransaction& transaction = joined != nullptr ? *joined : own.emplace(index.dir);
  for (const Changed& file : files) {
    const std::string name = qdb::split_path(file.path).second;
    if (!backups || file.original.empty()) continue;
    if (qdb::Result<void> backed =
            transaction.backup(name, name + std::string(qdb::suffix::kBackup));
        !backed)
      return backed;
  }
  for (const Changed& file : files) {
    qdb::Staging how;
    how.temp_suffix = temp_suffix;
    if (!file.original.empty()) {
      how.expected = file.identity;
      how.original = file.original;
    } else {
      how.like = qdb::split_path(index.master_path).second;
    }
    if (qdb::Result<void> staged =
            transaction.stage(qdb::split_path(file.path).second, file.bytes, how);
        !staged)
      return staged;
  }
  if (qdb::Result<void> committed = transaction.commit(); !committed) {
    if (restore_failed != nullptr) *restore_failed = transaction.restore_failed();
    return committed;
  }
  // The files as now on disk are what a further write of this index must replace.
  index.master.identity = qdb::file_system().identity(index.master_path);
  index.master_original = master_image_bytes(index.master);
  if (index.emaster) {
    index.emaster->identity = qdb::file_system().identity(index.emaster_path);
    index.emaster_original = index.emaster->bytes();
  }
  if (index.xmaster) {
    index.xmaster->identity = qdb::file_system().identity(index.xmaster_path);
    index.xmaster_original = index.xmaster->bytes();
  }
  index.master_changed = index.emaster_changed = index.xmaster_changed = false;
  return {};
}

}  // namespace core
