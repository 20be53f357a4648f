#include "core/index_agreement.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <utility>

#include "core/command_result.h"
#include "core/master_repair.h"
#include "core/portfolio_index.h"
#include "core/symbol_rows.h"
#include "qdb/bytes.h"
#include "qdb/file_system.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"

namespace core {
namespace {

namespace e = qdb::emaster_offset;
namespace x = qdb::xmaster_offset;

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

// The MASTER entries that name quote files: not "<DIR>" entries nor empty slots.
bool names_quotes(const qdb::MasterRecord& record) {
  return !record.is_directory() && record.file_number() != 0;
}

float master_date(const qdb::MasterRecord& record, int offset) {
  return qdb::mbf_to_float(record.bytes.data() + offset);
}

// What an EMASTER entry says differently from its MASTER entry; empty when they agree.
std::string entry_difference(const qdb::MasterRecord& record, const std::uint8_t* entry) {
  const std::string symbol = trimmed(record.symbol_field());
  const std::string esymbol = qdb::zero_text(entry + e::kSymbol, e::kSymbolWidth);
  if (symbol != esymbol) return "symbol " + esymbol + " against the MASTER's " + symbol;
  const std::string name = trimmed(record.issue_name_field());
  const std::string ename = trimmed(qdb::zero_text(entry + e::kIssueName, 16));
  if (name != ename) return "name \"" + ename + "\" against the MASTER's \"" + name + "\"";
  const float first = master_date(record, qdb::master_offset::kFirstDate);
  const float last = master_date(record, qdb::master_offset::kLastDate);
  if (std::lround(first) != std::lround(qdb::ieee_bytes_to_float(entry + e::kFirstDate)) ||
      std::lround(last) != std::lround(qdb::ieee_bytes_to_float(entry + e::kLastDate)))
    return "first or last date other than the MASTER's";
  return {};
}

std::uint16_t counter(const std::string& header, int offset) {
  return qdb::read_u16le(reinterpret_cast<const std::uint8_t*>(header.data()) + offset);
}

// Gives file the records and both header counters their number, dropping any piece of a
// record after them; false when the file held exactly that already.
bool set_records(qdb::RawIndexFile& file, std::vector<std::string> records, int count_offset,
                 int count2_offset) {
  const auto n = static_cast<std::uint16_t>(records.size());
  if (records == file.records && file.tail.empty() && counter(file.header, count_offset) == n &&
      counter(file.header, count2_offset) == n)
    return false;
  file.records = std::move(records);
  file.tail.clear();
  auto* header = reinterpret_cast<std::uint8_t*>(file.header.data());
  qdb::write_u16le(header + count_offset, n);
  qdb::write_u16le(header + count2_offset, n);
  return true;
}

}  // namespace

std::vector<std::string> find_index_disagreements(const std::string& master_path) {
  std::vector<std::string> problems;
  const qdb::Result<PortfolioIndex> index = read_portfolio_index(master_path);
  if (!index) {
    // An EMASTER or XMASTER that can't be read, or a directory that can't be listed, keeps
    // every symbol command from changing the portfolio: the check says so. (A MASTER that
    // can't be read is the MASTER check's to report.)
    if (read_master_image(qdb::resolve_path(master_path)))
      problems.push_back(index.error().cause.empty() ? std::string("the index files can't be read")
                                                     : index.error().cause);
    return problems;
  }
  if (index->emaster) {
    const qdb::RawIndexFile& em = *index->emaster;
    if (!em.tail.empty())
      problems.push_back("EMASTER ends in a piece of " + std::to_string(em.tail.size()) +
                         " bytes, not a whole 192-byte record");
    if (counter(em.header, e::kCount) != em.records.size())
      problems.push_back("EMASTER counts " + std::to_string(counter(em.header, e::kCount)) +
                         " entries but holds " + std::to_string(em.records.size()));
    std::set<int> in_master;
    for (const qdb::MasterRecord& record : index->master.records) {
      if (!names_quotes(record)) continue;
      const int number = record.file_number();
      in_master.insert(number);
      const std::string symbol = trimmed(record.symbol_field());
      std::optional<std::size_t> at;
      for (std::size_t i = 0; i < em.records.size() && !at; ++i)
        if (qdb::emaster_file_number(em.entry(i)) == number) at = i;
      if (!at) {
        problems.push_back("EMASTER has no entry for F" + std::to_string(number) + " (" + symbol +
                           ")");
        continue;
      }
      const std::string difference = entry_difference(record, em.entry(*at));
      if (!difference.empty())
        problems.push_back("EMASTER entry F" + std::to_string(number) + " holds " + difference);
    }
    for (std::size_t i = 0; i < em.records.size(); ++i) {
      const int number = qdb::emaster_file_number(em.entry(i));
      if (in_master.count(number) == 0)
        problems.push_back("EMASTER entry F" + std::to_string(number) + " (" +
                           qdb::zero_text(em.entry(i) + e::kSymbol, e::kSymbolWidth) +
                           ") is not in the MASTER");
    }
  }
  if (index->xmaster) {
    const qdb::RawIndexFile& xm = *index->xmaster;
    const std::uint16_t count = counter(xm.header, x::kCount);
    if (count != xm.records.size() || !xm.tail.empty())
      problems.push_back("XMASTER counts " + std::to_string(count) + " entries but holds " +
                         std::to_string(xm.records.size()) +
                         (xm.tail.empty() ? "" : " and a piece of a record"));
    std::set<int> seen;
    for (std::size_t i = 0; i < xmaster_count(*index); ++i) {
      const int number = qdb::xmaster_file_number(xm.entry(i));
      const std::string symbol = qdb::zero_text(xm.entry(i) + x::kSymbol, x::kSymbolWidth);
      if (number < qdb::kFirstExtendedNumber)
        problems.push_back("XMASTER entry " + symbol + " has file number " +
                           std::to_string(number) + ", below 256");
      else if (!seen.insert(number).second)
        problems.push_back("XMASTER entry " + symbol + " repeats file number " +
                           std::to_string(number));
    }
  }
  return problems;
}

IndexRepairResult repair_index_files(const std::string& master_path) {
  IndexRepairResult result;
  const std::string path = qdb::resolve_path(master_path);
  const qdb::PortfolioLock lock({qdb::split_path(path).first});
  if (!lock.locked()) return failed_with<IndexRepairResult>(lock.failure());
  qdb::Result<PortfolioIndex> index = read_portfolio_index(path, nullptr, true);
  if (!index)
    return failed_with<IndexRepairResult>(
        index.error().with_cause("The index files beside\n" + path + "\ncould not be read."));
  index->mends_counts = true;
  if (index->emaster) {
    qdb::RawIndexFile& em = *index->emaster;
    std::vector<std::string> rebuilt;
    std::vector<bool> used(em.records.size(), false);
    for (const qdb::MasterRecord& record : index->master.records) {
      if (!names_quotes(record)) continue;
      std::string entry;
      for (std::size_t i = 0; i < em.records.size() && entry.empty(); ++i) {
        if (used[i] || qdb::emaster_file_number(em.entry(i)) != record.file_number()) continue;
        used[i] = true;
        entry = em.records[i];
      }
      auto* bytes = reinterpret_cast<std::uint8_t*>(entry.data());
      if (entry.empty()) {
        entry.assign(qdb::kEmasterRecordSize, '\0');
        bytes = reinterpret_cast<std::uint8_t*>(entry.data());
        qdb::fill_emaster_entry(bytes, record, record.file_number(), {});
      } else if (!entry_difference(record, bytes).empty()) {
        // The MASTER's fields win; a long name that the MASTER's name begins stays.
        const std::string long_name = qdb::emaster_long_name(bytes);
        const std::string name = trimmed(record.issue_name_field());
        qdb::rename_emaster_entry(bytes, trimmed(record.symbol_field()), name);
        if (long_name.compare(0, name.size(), name) == 0)
          qdb::set_zero_text(bytes + e::kLongName, e::kLongNameWidth, long_name);
        qdb::set_emaster_date(bytes, false, master_date(record, qdb::master_offset::kFirstDate));
        qdb::set_emaster_date(bytes, true, master_date(record, qdb::master_offset::kLastDate));
      }
      rebuilt.push_back(std::move(entry));
    }
    if (set_records(em, std::move(rebuilt), e::kCount, e::kCount2)) index->emaster_changed = true;
  }
  if (index->xmaster) {
    qdb::RawIndexFile& xm = *index->xmaster;
    std::vector<std::string> kept;
    std::set<int> seen;
    for (std::size_t i = 0; i < xmaster_count(*index); ++i) {
      const int number = qdb::xmaster_file_number(xm.entry(i));
      if (number >= qdb::kFirstExtendedNumber && seen.insert(number).second)
        kept.push_back(xm.records[i]);
    }
    if (set_records(xm, std::move(kept), x::kCount, x::kCount2)) index->xmaster_changed = true;
  }

  // The backups of the MASTER's repair: <NAME>.bak from before the first repair, and one of
  // this repair's own.
  qdb::PortfolioTransaction transaction(index->dir);
  auto keep_backups = [&](const std::string& file) -> qdb::Result<void> {
    const std::string name = qdb::split_path(file).second;
    const std::string first = name + std::string(qdb::suffix::kRepairBackup);
    if (!transaction.listing().contains(first)) {
      if (qdb::Result<void> backed = transaction.backup(name, first); !backed) return backed;
      result.backups.push_back(index->dir + first);
    }
    const std::string own = repair_backup_name(transaction.listing(), name);
    if (qdb::Result<void> backed = transaction.backup(name, own); !backed) return backed;
    result.backups.push_back(index->dir + own);
    return {};
  };
  qdb::Result<void> backed;
  if (index->emaster_changed) backed = keep_backups(index->emaster_path);
  if (backed && index->xmaster_changed) backed = keep_backups(index->xmaster_path);
  if (!backed) {
    result.failure = backed.error().with_cause(
        "A backup of the index files could not be written. Nothing "
        "was changed.");
    return result;
  }
  result.changed_files = (index->emaster_changed ? 1 : 0) + (index->xmaster_changed ? 1 : 0);
  std::string restore_failed;
  if (const qdb::Result<void> written = write_portfolio_index(*index, qdb::suffix::kNewRepair,
                                                              false, &restore_failed, &transaction);
      !written) {
    result.failure = written.error().with_cause(
        "The index files beside\n" + path + "\ncould not be rewritten." +
        (restore_failed.empty() ? std::string(" Nothing was changed.")
                                : "\nThese could not be restored:" + restore_failed));
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace core
