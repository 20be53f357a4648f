// The symbols listing: the MASTER read record by record, the XMASTER in chunks of records, each
// entry handed on as a row as soon as it is read.
#include "core/symbol_listing.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/master_scan.h"
#include "qdb/bytes.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace core {
namespace {

// A long name that says more than the 16-character issue name; empty otherwise.
void set_long_name(SymbolRow& row, std::string long_name) {
  if (long_name.size() > static_cast<std::size_t>(qdb::master_offset::kTextWidth))
    row.long_name = std::move(long_name);
  else
    row.long_name.clear();
}

void fill_row(SymbolRow& row, const qdb::MasterRecord& record, int index, bool extended) {
  row.symbol = grid_symbol_text(record);
  row.name = grid_name_text(record);
  row.file_number = record.file_number();
  row.file_index = index;
  row.extended = extended;
  row.long_name.clear();
  row.sub_portfolio = !extended && record.is_directory();
  if (row.sub_portfolio)
    row.sub_dir = record.directory_name();
  else
    row.sub_dir.clear();
}

// Records of the XMASTER read per call: a few pages, reused for the whole file.
constexpr std::size_t kXmasterChunk = 64;

// Hands each entry of the XMASTER at path to sink as a row; answers the number of rows. The
// file is taken as the index readers take it: between one record and 70,000, "XM" in its
// header, and as many entries as the header counts and the file holds.
int list_xmaster(const std::string& path, SymbolRow& row, const SymbolListingSink& sink,
                 bool long_names) {
  constexpr std::size_t kSize = qdb::kXmasterRecordSize;
  const std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return 0;
  const std::uint64_t size = file->size();
  if (size < kSize || size > kSize * 70000) return 0;
  std::vector<std::uint8_t> chunk(kSize * kXmasterChunk);
  if (file->read(chunk.data(), kSize) != kSize) return 0;
  if (chunk[qdb::xmaster_offset::kMagic] != 'X' || chunk[qdb::xmaster_offset::kMagic + 1] != 'M')
    return 0;
  const std::size_t count =
      std::min<std::size_t>(qdb::read_u16le(chunk.data() + qdb::xmaster_offset::kCount),
                            static_cast<std::size_t>(size / kSize - 1));
  std::size_t done = 0;
  while (done < count) {
    const std::size_t want = std::min(kXmasterChunk, count - done);
    const std::size_t got = file->read(chunk.data(), want * kSize) / kSize;
    for (std::size_t i = 0; i < got; ++i, ++done) {
      const std::uint8_t* entry = chunk.data() + i * kSize;
      fill_row(row, qdb::master_record_from_xmaster(entry), static_cast<int>(done), true);
      if (long_names) set_long_name(row, qdb::xmaster_long_name(entry));
      if (sink.row) sink.row(row);
    }
    if (got < want) {
      // The file shrank while it was read: the entries read so far are all there is.
      break;
    }
  }
  return static_cast<int>(done);
}

}  // namespace

std::string SymbolListingOutcome::warning() const {
  if (header_count <= qdb::kMaxSymbols) return {};
  return "File has " + std::to_string(header_count) + " symbols.\nWill only display the first " +
         std::to_string(qdb::kMaxSymbols) + " symbols";
}

SymbolListingOutcome list_symbols(const std::string& master_path, const SymbolListingSink& sink,
                                  const qdb::DirListing* files, bool long_names) {
  SymbolListingOutcome outcome;
  const std::string resolved = qdb::resolve_path(master_path);
  MasterScan reader(resolved);
  if (!reader.ok()) {
    outcome.failure = SymbolListingFailure::kUnreadable;
    return outcome;
  }
  outcome.header_count = reader.header_count();
  outcome.shown_count = std::clamp(outcome.header_count, 0, qdb::kMaxSymbols);
  if (const std::string warning = outcome.warning(); !warning.empty() && sink.warning)
    sink.warning(warning);

  const auto [dir, name] = qdb::split_path(resolved);
  // The caller's listing of the MASTER's directory when it has one, else a listing of its own.
  std::optional<qdb::DirListing> own;
  const qdb::DirListing& listed =
      files != nullptr && files->dir() == dir ? *files : own.emplace(dir);

  // The EMASTER's long names of the MASTER's entries, found by file number.
  std::optional<qdb::RawIndexFile> emaster;
  if (long_names && listed.contains("EMASTER")) {
    qdb::Result<qdb::RawIndexFile> read =
        qdb::read_raw_index(listed.resolve("EMASTER"), qdb::kEmasterRecordSize);
    if (read) emaster = std::move(read).value();
  }

  SymbolRow row;
  qdb::MasterRecord record;
  while (outcome.master_rows < outcome.shown_count && reader.next(record)) {
    fill_row(row, record, outcome.master_rows, false);
    if (emaster) {
      for (std::size_t i = 0; i < emaster->records.size(); ++i) {
        if (qdb::emaster_file_number(emaster->entry(i)) != row.file_number) continue;
        set_long_name(row, qdb::emaster_long_name(emaster->entry(i)));
        break;
      }
    }
    if (sink.row) sink.row(row);
    ++outcome.master_rows;
  }
  if (outcome.master_rows < outcome.shown_count)
    outcome.failure = SymbolListingFailure::kShortMaster;

  // The XMASTER's entries follow the MASTER's, all of them.
  if (listed.contains("XMASTER"))
    outcome.extended_rows = list_xmaster(listed.resolve("XMASTER"), row, sink, long_names);
  return outcome;
}

SymbolListing read_symbol_listing(const std::string& master_path,
                                  const std::function<void(const std::string&)>& warning) {
  SymbolListing listing;
  SymbolListingSink sink;
  sink.warning = warning;
  sink.row = [&listing](const SymbolRow& row) { listing.rows.push_back(row); };
  listing.outcome = list_symbols(master_path, sink);
  return listing;
}

}  // namespace core
