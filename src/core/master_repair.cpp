// The MASTER repair.
#include "core/master_repair.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/command_result.h"
#include "core/master_scan.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"

namespace core {
namespace {

bool is_symbol_char(std::uint8_t byte) { return byte >= 0x21 && byte <= 0x7F; }

// The header count must stay a positive signed 16-bit number.
constexpr std::size_t kMaxKept = 32767;

// A symbol whose first byte is not a symbol character receives the issue name: the name's
// bytes up to its first zero byte, a zero byte after a shorter name, and the rest of the
// field as the symbol was with every byte outside 0x21..0x7F zeroed.
void fill_blank_symbol(qdb::MasterRecord& record) {
  constexpr int kWidth = qdb::master_offset::kTextWidth;
  std::array<std::uint8_t, kWidth> symbol{};
  for (int i = 0; i < kWidth; ++i) {
    const std::uint8_t byte =
        record.bytes[static_cast<std::size_t>(qdb::master_offset::kSymbol + i)];
    symbol[static_cast<std::size_t>(i)] = is_symbol_char(byte) ? byte : 0;
  }
  if (symbol[0] != 0) return;
  int length = 0;
  while (length < kWidth &&
         record.bytes[static_cast<std::size_t>(qdb::master_offset::kIssueName + length)] != 0) {
    symbol[static_cast<std::size_t>(length)] =
        record.bytes[static_cast<std::size_t>(qdb::master_offset::kIssueName + length)];
    ++length;
  }
  if (length < kWidth) symbol[static_cast<std::size_t>(length)] = 0;
  std::copy(symbol.begin(), symbol.end(), record.bytes.begin() + qdb::master_offset::kSymbol);
}

}  // namespace

std::string repair_confirmation_message(const std::string& master_path,
                                        const std::vector<std::string>& problems) {
  std::string message = "The Master file\n" + master_path +
                        "\nappears corrupted.\n\nShould Dorvane try to repair this file now?\n\n"
                        "If Yes, your exisitng Master file will be saved\nas file Master.bak\n\n";
  if (problems.empty()) return message;
  // A window of the screen's height holds a few lines: the rest are counted (an EMASTER cut
  // short can miss hundreds of entries).
  constexpr std::size_t kListed = 10;
  message += "The checks found:";
  for (std::size_t i = 0; i < problems.size() && i < kListed; ++i) message += "\n- " + problems[i];
  if (problems.size() > kListed)
    message += "\n- and " + std::to_string(problems.size() - kListed) +
               " more problems (dorvane-cli check lists them all)";
  return message;
}

std::string cut_off_report_message(const std::string& issue_name, const std::string& symbol,
                                   int file_number, int bytes) {
  const auto shown = [](const std::string& text) { return text.empty() ? "(cut off)" : text; };
  return "The last item of the Master file is cut off (only " + std::to_string(bytes) +
         " of its 53 bytes\nare in the file) and was dropped. It is named\n\n" + shown(issue_name) +
         "\nor\n" + shown(symbol) + "\n\nThis item is file F" + std::to_string(file_number) +
         ".DAT\n\nWrite this information down now. When repair is complete\n"
         "consult the Fixing Bad Master topic in the Dorvane Help\n"
         "file to ensure that your repair was done correctly.";
}

std::string repair_report_message(const std::string& issue_name, const std::string& symbol,
                                  int file_number) {
  return "An error was found with the item named\n\n" + issue_name + "\nor\n" + symbol +
         "\n\nThis item is file F" + std::to_string(file_number) +
         ".DAT\n\nWrite this information down now. When repair is complete\n"
         "consult the Fixing Bad Master topic in the Dorvane Help\n"
         "file to ensure that your repair was done correctly.";
}

std::string repair_backup_name(const qdb::DirListing& listing, std::string_view master_name) {
  for (int k = 1;; ++k) {
    std::string name = std::string(master_name) + std::string(qdb::suffix::kRepairBackupPart) +
                       std::to_string(k) + std::string(qdb::suffix::kRepairBackup);
    if (!listing.contains(name)) return name;
  }
}

RepairResult RepairMaster(const std::string& master_path, RepairObserver& observer,
                          bool auto_repair) {
  RepairResult result;
  const std::string path = qdb::resolve_path(master_path);

  if (!auto_repair && !observer.confirm(repair_confirmation_message(path))) {
    result.outcome = RepairOutcome::kDeclined;
    return result;
  }

  const auto [dir, name] = qdb::split_path(path);
  const qdb::PortfolioLock lock({dir});
  if (!lock.locked()) return failed_with<RepairResult>(lock.failure());
  const qdb::DirListing listing(dir);
  // The file as it is now: the rebuilt one replaces only this one.
  const std::optional<qdb::FileIdentity> identity = qdb::file_system().identity(path);

  // MASTER.bak keeps the file as it was before the first repair: an existing one, whatever
  // the case of its name, is never replaced. The repair's own backup keeps it as it is now.
  // Without both, the repair does not go on.
  const auto backup_failed = [&](const std::string& backup, const qdb::Error& error) {
    result.failure = error.with_cause("the backup " + backup +
                                      " could not be written; the MASTER file was left unchanged");
    return result;
  };
  qdb::PortfolioTransaction transaction(listing);
  const std::string first_backup = name + std::string(qdb::suffix::kRepairBackup);
  if (listing.contains(first_backup)) {
    result.backup_path = listing.resolve(first_backup);
  } else {
    result.backup_path = dir + first_backup;
    if (const qdb::Result<void> backed = transaction.backup(name, first_backup); !backed)
      return backup_failed(result.backup_path, backed.error());
    result.backup_made = true;
  }
  const std::string repair_backup = repair_backup_name(transaction.listing(), name);
  result.repair_backup_path = dir + repair_backup;
  if (const qdb::Result<void> backed = transaction.backup(name, repair_backup); !backed)
    return backup_failed(result.repair_backup_path, backed.error());

  // Kept records are in memory until the file is written: their file numbers differ, so at
  // most 255 of them are kept besides "<DIR>" entries, whose number the header count bounds.
  // The MASTER is closed before it is replaced.
  qdb::MasterHeader header;
  std::int16_t header_count = 0;
  std::vector<qdb::MasterRecord> kept;
  {
    MasterScan reader(path);
    if (!reader.ok()) {
      result.failure = qdb::Error{qdb::kFileRead, qdb::not_regular_cause(path)}.with_cause(
          "the MASTER file " + path + " could not be read");
      return result;
    }
    header = reader.header();
    header_count = reader.header_count();
    std::array<bool, 256> used{};
    qdb::MasterRecord record;
    while (reader.next(record)) {
      const int number = record.file_number();
      if (record.is_directory()) {
        // A sub-portfolio's "<DIR>" entry names no data file, so its file number (0 as a
        // rule) is not a data file's: every such entry is kept, or the sub-portfolios
        // beyond the first would be cut off.
        if (kept.size() >= kMaxKept) {
          result.failure = "the MASTER file " + path + " holds too many entries to rebuild";
          return result;
        }
        fill_blank_symbol(record);
        kept.push_back(record);
        continue;
      }
      if (number == 0) {
        // File number 0 names no data file: an empty slot, which index files pad themselves
        // with, not a symbol.
        ++result.empty_slots;
        continue;
      }
      fill_blank_symbol(record);
      if (!used[static_cast<std::size_t>(number)]) {
        used[static_cast<std::size_t>(number)] = true;
        kept.push_back(record);
        continue;
      }
      ++result.dropped;
      observer.beep();
      observer.report_dropped(
          repair_report_message(master_field_text(record, qdb::master_offset::kIssueName),
                                master_field_text(record, qdb::master_offset::kSymbol), number));
    }
    // A piece of a record after the last whole one: the entry the end of the file cut off is
    // dropped, and named as far as its bytes go.
    const auto piece = static_cast<int>(reader.size() % qdb::kMasterRecordSize);
    if (piece > 0 && reader.size() > qdb::kMasterRecordSize) {
      qdb::MasterRecord partial;
      partial.bytes.fill(0);
      const std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
      if (file && file->seek(reader.size() - static_cast<std::uint64_t>(piece)) &&
          file->read(partial.bytes.data(), static_cast<std::size_t>(piece)) ==
              static_cast<std::size_t>(piece)) {
        result.cut_off = true;
        observer.beep();
        observer.report_dropped(cut_off_report_message(
            master_field_text(partial, qdb::master_offset::kIssueName),
            master_field_text(partial, qdb::master_offset::kSymbol), partial.file_number(), piece));
      }
    }
  }

  result.kept = static_cast<int>(kept.size());
  if (result.kept != header_count) {
    header.bytes[0] = static_cast<std::uint8_t>(result.kept & 0xFF);
    header.bytes[1] = static_cast<std::uint8_t>((result.kept >> 8) & 0xFF);
  }

  const std::string temp_path = listing.resolve(name + std::string(qdb::suffix::kNewRepair));
  qdb::Staging how;
  how.temp_suffix = qdb::suffix::kNewRepair;
  how.expected = identity;
  qdb::Result<void> written = transaction.stage(
      name,
      [&](qdb::WriteFile& out) {
        if (!out.write(header.bytes.data(), header.bytes.size())) return false;
        for (const qdb::MasterRecord& entry : kept) {
          if (!out.write(entry.bytes.data(), entry.bytes.size())) return false;
        }
        return true;
      },
      how);
  if (written) written = transaction.commit();
  if (!written) {
    result.failure = written.error().with_cause("the repaired MASTER could not be written to " +
                                                temp_path + "; the MASTER file was left unchanged");
    return result;
  }
  result.outcome = RepairOutcome::kRepaired;
  return result;
}

}  // namespace core
