#include "core/symbol_entries.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "qdb/bytes.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
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

namespace {

constexpr std::uint64_t kMaxRecords = 70000;  // beyond this no file is an index file
// Bytes read per call, at least: a read this large goes straight into the chunk instead of
// through the file's own buffer, so no byte is copied twice.
constexpr std::size_t kChunkBytes = 64 * 1024;

// Hands each whole record of the index file at path (after its header, at most limit(header)
// of them) to each, reading a few records at a time instead of the whole file. False where
// the file is no index file of record_size-byte records or does not read to its end.
bool each_index_record(const std::string& path, std::size_t record_size,
                       const std::function<std::size_t(const std::uint8_t* header)>& limit,
                       const std::function<void(const std::uint8_t* record)>& each) {
  std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return false;
  const std::uint64_t size = file->size();
  if (size < record_size || size > record_size * kMaxRecords) return false;
  // The header comes in the first read with the records after it; the chunk is left
  // uninitialised, as every byte of it that is looked at is read first.
  const std::size_t chunk_size = record_size * (kChunkBytes / record_size + 1);
  const auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(chunk_size);
  auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_size, size));
  if (file->read(chunk.get(), bytes) != bytes) return false;
  const auto in_file = static_cast<std::size_t>(size / record_size - 1);
  const std::size_t wanted = std::min(limit(chunk.get()), in_file);
  // The whole file is read, as the index readers read it, so a file that ends early fails.
  std::size_t first = record_size;  // where the chunk's first record starts
  for (std::uint64_t at = 0, done = 0;;) {
    for (std::size_t i = first; i + record_size <= bytes && done < wanted; i += record_size, ++done)
      each(chunk.get() + i);
    at += bytes;
    if (at >= size) break;
    bytes = static_cast<std::size_t>(std::min<std::uint64_t>(chunk_size, size - at));
    if (file->read(chunk.get(), bytes) != bytes) return false;
    first = 0;
  }
  return true;
}

}  // namespace

std::optional<std::vector<qdb::MasterRecord>> entries_named(
    const std::string& dir, const std::function<bool(const qdb::MasterRecord&)>& names,
    const qdb::DirListing* listed) {
  // The index files as the portfolio's index reads them (every one that is there must read),
  // but streamed: only the entries named are kept.
  const std::string normal = qdb::normalize_dir(dir);
  std::optional<qdb::DirListing> own;
  const qdb::DirListing& listing =
      listed != nullptr && listed->dir() == normal ? *listed : own.emplace(normal);
  const std::string master = qdb::resolve_path(qdb::master_path(listing));
  std::vector<qdb::MasterRecord> named;
  auto take = [&](const qdb::MasterRecord& record) {
    if (!record.is_directory() && names(record)) named.push_back(record);
  };
  {
    std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(master);
    if (!file) return std::nullopt;
    const std::uint64_t size = file->size();
    if (size < qdb::kMasterRecordSize || size > qdb::kMasterRecordSize * 65537) return std::nullopt;
    qdb::MasterRecord record;
    if (file->read(record.bytes.data(), qdb::kMasterRecordSize) != qdb::kMasterRecordSize)
      return std::nullopt;
    const auto records = static_cast<std::size_t>(size / qdb::kMasterRecordSize - 1);
    for (std::size_t i = 0; i < records; ++i) {
      if (file->read(record.bytes.data(), qdb::kMasterRecordSize) != qdb::kMasterRecordSize)
        return std::nullopt;
      take(record);
    }
  }
  if (listing.contains("EMASTER") &&
      !each_index_record(
          listing.resolve("EMASTER"), qdb::kEmasterRecordSize,
          [](const std::uint8_t*) { return std::size_t{0}; }, [](const std::uint8_t*) {}))
    return std::nullopt;
  if (listing.contains("XMASTER")) {
    const std::string path = listing.resolve("XMASTER");
    bool magic = true;
    const bool read = each_index_record(
        path, qdb::kXmasterRecordSize,
        [&magic](const std::uint8_t* header) {
          namespace x = qdb::xmaster_offset;
          magic = header[x::kMagic] == 'X' && header[x::kMagic + 1] == 'M';
          return magic ? std::size_t{qdb::read_u16le(header + x::kCount)} : std::size_t{0};
        },
        [&take](const std::uint8_t* entry) { take(qdb::master_record_from_xmaster(entry)); });
    if (!read || !magic) return std::nullopt;
  }
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
