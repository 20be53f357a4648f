#include "core/verify_fix.h"

#include <cstring>

#include "core/portfolio_index.h"
#include "core/symbol_rows.h"
#include "core/verify_index.h"
#include "core/verify_series.h"
#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/extended_master.h"
#include "qdb/file_suffixes.h"
#include "qdb/master_file.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/portfolio_transaction.h"

namespace core {
namespace {

std::string iso(qdb::DateSerial date) {
  return date == 0 ? std::string("no date")
                   : qdb::format_date(date, qdb::DateFormat::kYyyyMmDd, '-');
}

// The data file's new bytes: its header record with the new count, then the records kept, in
// their new order.
std::string mended_bytes(const std::vector<std::uint8_t>& bytes, const SymbolFile& file,
                         const MendedOrder& mended) {
  const auto length = static_cast<std::size_t>(file.records.length);
  std::string out(reinterpret_cast<const char*>(bytes.data()), length);
  qdb::write_u16le(reinterpret_cast<std::uint8_t*>(out.data()) + 2,
                   static_cast<std::uint16_t>(mended.order.size() + 1));
  out.reserve(length * (mended.order.size() + 1));
  for (const std::uint32_t at : mended.order)
    out.append(reinterpret_cast<const char*>(file.records.record(at)), length);
  return out;
}

// Sets one first or last date in the index file that holds it; false when no entry of the
// file number is there.
bool apply_date(PortfolioIndex& index, int file_number, const IndexDateFix& fix,
                qdb::DateForm form) {
  const float real = qdb::date_to_real(fix.wanted, form);
  switch (fix.file) {
    case IndexFileName::kMaster:
      for (qdb::MasterRecord& record : index.master.records) {
        if (record.is_directory() || record.file_number() != file_number) continue;
        const qdb::MbfReal cell = qdb::to_mbf(real);
        std::memcpy(record.bytes.data() +
                        (fix.last ? qdb::master_offset::kLastDate : qdb::master_offset::kFirstDate),
                    cell.bytes, 4);
        index.master_changed = true;
        return true;
      }
      return false;
    case IndexFileName::kEmaster:
      if (!index.emaster) return false;
      for (std::size_t i = 0; i < index.emaster->records.size(); ++i) {
        if (qdb::emaster_file_number(index.emaster->entry(i)) != file_number) continue;
        qdb::set_emaster_date(index.emaster->entry(i), fix.last, real);
        index.emaster_changed = true;
        return true;
      }
      return false;
    case IndexFileName::kXmaster:
      for (std::size_t i = 0; i < xmaster_count(index); ++i) {
        std::uint8_t* entry = index.xmaster->entry(i);
        if (qdb::xmaster_file_number(entry) != file_number) continue;
        qdb::set_xmaster_date(entry, fix.last, real);
        if (!fix.last)
          qdb::write_u32le(entry + qdb::xmaster_offset::kFirstDate2, qdb::date_real_to_long(real));
        index.xmaster_changed = true;
        return true;
      }
      return false;
  }
  return false;
}

// Lowers an EMASTER's or XMASTER's header counts that exceed the entries it holds.
bool mend_count(std::optional<qdb::RawIndexFile>& file, int count_offset, int count2_offset,
                std::string_view name, std::vector<std::string>& changes) {
  if (!file) return false;
  auto* header = reinterpret_cast<std::uint8_t*>(file->header.data());
  const auto held = static_cast<std::uint16_t>(std::min<std::size_t>(file->records.size(), 65535));
  const std::uint16_t count = qdb::read_u16le(header + count_offset);
  if (count <= held) return false;
  qdb::write_u16le(header + count_offset, held);
  if (qdb::read_u16le(header + count2_offset) > held)
    qdb::write_u16le(header + count2_offset, held);
  changes.push_back(std::string(name) + ": entry count " + std::to_string(count) + " to " +
                    std::to_string(held));
  return true;
}

}  // namespace

MendResult mend_portfolio(const std::string& dir, const std::string& key, bool plan_only) {
  MendResult result;
  const std::string root = qdb::normalize_dir(dir);
  std::optional<qdb::PortfolioLock> lock;
  if (!plan_only) {
    lock.emplace(std::vector<std::string>{root});
    if (!lock->locked()) {
      result.ok = false;
      result.failure = lock->failure();
      return result;
    }
  }
  const qdb::DirListing listing(root);
  const qdb::PortfolioLookup lookup(listing);
  qdb::Result<PortfolioIndex> read = read_portfolio_index(qdb::master_path(listing), &listing);
  if (!listing.ok() || !lookup.ok() || !read) {
    result.ok = false;
    result.failure = "the MASTER file in " + root + " cannot be read";
    if (!read && !read.error().cause.empty()) result.failure += "\n" + read.error().cause;
    return result;
  }
  PortfolioIndex& index = *read;
  const IndexFiles index_files(listing);
  qdb::PortfolioTransaction transaction(listing);

  std::vector<std::uint8_t> bytes;
  for (const qdb::MasterRecord& entry : lookup.all()) {
    if (entry.is_directory() || entry.file_number() == 0) continue;
    if (!key.empty() && !qdb::symbol_matches(entry, key)) continue;
    // The file as it is before the read: the commit refuses it when another program has
    // written it since.
    const std::optional<qdb::FileIdentity> identity =
        plan_only ? std::nullopt
                  : qdb::file_system().identity(
                        listing.resolve(qdb::quote_file_name(entry.file_number())));
    SymbolFile file = read_symbol_file(listing, entry, bytes);
    if (!file.readable) continue;
    file.identity = identity;
    const std::string symbol = grid_symbol_text(entry);
    const MendedOrder mended = mended_order(file.records);
    if (mended.changes()) {
      if (!file.whole()) {
        result.left.push_back(file.name + " (" + symbol +
                              "): not sorted, its header count disagrees with its length");
      } else {
        std::string change = file.name + " (" + symbol + "):";
        if (!mended.in_order) change += " records sorted into date order";
        if (!mended.in_order && mended.repeats != 0) change += ",";
        if (mended.repeats != 0)
          change += " " + std::to_string(mended.repeats) + " repeated record" +
                    (mended.repeats == 1 ? "" : "s") + " removed";
        result.changes.push_back(change);
        if (!plan_only) {
          const int number = entry.file_number();
          qdb::Staging how;
          how.temp_name = qdb::data_file_name(number, qdb::suffix::kNewExtension);
          how.expected = file.identity;
          how.original = std::string(bytes.begin(), bytes.end());
          qdb::Result<void> staged = transaction.backup(
              file.name, qdb::data_file_name(number, qdb::suffix::kBackupExtension));
          if (staged) staged = transaction.stage(file.name, mended_bytes(bytes, file, mended), how);
          if (!staged) {
            result.ok = false;
            result.failure = staged.error().with_cause(
                "the portfolio could not be mended; every file was left as it was");
            return result;
          }
        }
      }
    }
    // The dates are those of the oldest and newest quote the file holds, whatever its order.
    for (const IndexDateFix& fix : index_files.date_fixes(entry, file, mended)) {
      if (!apply_date(index, entry.file_number(), fix, file.records.form)) continue;
      result.changes.push_back(std::string(index_file_text(fix.file)) + " (" + symbol +
                               "): " + (fix.last ? "last" : "first") + " date " + iso(fix.stored) +
                               " to " + iso(fix.wanted));
    }
  }
  if (mend_count(index.emaster, qdb::emaster_offset::kCount, qdb::emaster_offset::kCount2,
                 "EMASTER", result.changes))
    index.emaster_changed = true;
  if (mend_count(index.xmaster, qdb::xmaster_offset::kCount, qdb::xmaster_offset::kCount2,
                 "XMASTER", result.changes))
    index.xmaster_changed = true;
  if (plan_only || result.changes.empty()) return result;

  qdb::Result<void> done;
  if (index.master_changed || index.emaster_changed || index.xmaster_changed)
    done = write_portfolio_index(index, qdb::suffix::kNew, /*backup=*/true, &result.restore_failed,
                                 &transaction);
  else
    done = transaction.commit();
  if (!done) {
    result.ok = false;
    result.changes.clear();
    if (result.restore_failed.empty()) result.restore_failed = transaction.restore_failed();
    result.failure =
        done.error().with_cause("the portfolio could not be mended; every file was left as it was");
  }
  return result;
}

}  // namespace core
