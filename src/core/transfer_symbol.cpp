#include "core/transfer_symbol.h"

#include <array>
#include <cerrno>
#include <memory>
#include <optional>
#include <vector>

#include "core/platform_fs.h"
#include "core/portfolio_index.h"
#include "core/symbol_entries.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"
#include "qdb/text.h"

namespace core {
namespace {

constexpr const char* kAdditionFailed = "The Symbol addition failed.\n\nReason: ";

TransferResult transfer_failure(std::string message,
                                TransferOutcome outcome = TransferOutcome::kFailed) {
  TransferResult result;
  result.outcome = outcome;
  result.messages.push_back(std::move(message));
  return result;
}

// Removes files this transfer created; returns the paths that stay behind.
std::vector<std::string> remove_created(const std::vector<std::string>& created) {
  std::vector<std::string> left;
  for (const std::string& path : created) {
    if (!qdb::file_system().remove(path)) left.push_back(path);
  }
  return left;
}

std::string list_paths(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += "\n" + path;
  return text;
}

// The whole file at path.
qdb::Result<std::string> read_bytes(const std::string& path) {
  std::unique_ptr<qdb::ReadFile> file = qdb::file_system().open_read(path);
  if (!file) return qdb::error_of(path, errno, qdb::kFileOpen);
  std::string bytes(static_cast<std::size_t>(file->size()), '\0');
  if (file->read(bytes.data(), bytes.size()) != bytes.size())
    return qdb::error_of(path, EIO, qdb::kFileRead);
  return bytes;
}

// The index files of a portfolio and the backups a symbol's addition replaces, byte for byte as
// they were before a move added to them: a move undone puts back every byte (the XMASTER's next
// file number, the .BAK files), not only the entry.
struct IndexSnapshot {
  std::string dir;
  std::vector<std::pair<std::string, std::optional<std::string>>> files;  // nullopt: absent
};

qdb::Result<IndexSnapshot> snapshot_index_files(const std::string& dir) {
  IndexSnapshot snapshot{dir, {}};
  const qdb::DirListing listing(dir);
  if (!listing.ok()) return listing.error();
  for (const char* index_name : {"MASTER", "EMASTER", "XMASTER"}) {
    for (const std::string& name :
         {std::string(index_name), index_name + std::string(qdb::suffix::kBackup)}) {
      if (!listing.contains(name)) {
        snapshot.files.emplace_back(name, std::nullopt);
        continue;
      }
      qdb::Result<std::string> bytes = read_bytes(listing.resolve(name));
      if (!bytes) return std::move(bytes).error();
      snapshot.files.emplace_back(name, std::move(*bytes));
    }
  }
  return snapshot;
}

// Puts every file of the snapshot back as it was, as one transaction: all or none.
bool restore_snapshot(const IndexSnapshot& snapshot) {
  qdb::PortfolioTransaction transaction(snapshot.dir);
  for (const auto& [name, was] : snapshot.files) {
    std::optional<std::string> now;
    if (transaction.listing().contains(name)) {
      qdb::Result<std::string> bytes = read_bytes(transaction.path_of(name));
      if (!bytes) return false;
      now = std::move(*bytes);
    }
    if (now == was) continue;
    if (!was) {
      transaction.remove(name, now);
      continue;
    }
    qdb::Staging how;
    how.temp_suffix = qdb::suffix::kNewIndex;
    how.original = now;
    if (!transaction.stage(name, *was, how)) return false;
  }
  return transaction.commit().ok();
}

}  // namespace

std::string transfer_symbol_text(const std::string& symbol) {
  std::string text = qdb::to_upper_ascii(symbol);
  qdb::trim_right(text);
  const std::size_t lead = text.find_first_not_of(' ');
  return lead == std::string::npos ? std::string() : text.substr(lead);
}

TransferResult AddSymbolToPortfolio(const EntryToAdd& entry, const std::string& symbol_text,
                                    const std::string& source_dir, const std::string& dest_dir) {
  // Both portfolios, in the one fixed order every transfer takes them.
  const qdb::PortfolioLock lock({qdb::normalize_dir(source_dir), qdb::normalize_dir(dest_dir)});
  if (!lock.locked()) return transfer_failure(lock.failure());
  qdb::MasterRecord found;
  std::string found_dir;
  if (qdb::find_symbol(dest_dir, symbol_text, found, found_dir) == qdb::kSuccess) {
    // "The Symbol addition failed.\n\nReason: Symbol %s already exists in\n%s", then the
    // entry that holds it, so the user can tell which one.
    std::string message =
        std::string(kAdditionFailed) + "Symbol " + symbol_text + " already exists in\n" + dest_dir;
    message += "\nas " + entry_description(found);
    if (found_dir != qdb::normalize_dir(dest_dir)) {
      // A sub-portfolio's entry: its directory as the portfolio list names it.
      while (found_dir.size() > 1 && platform::is_separator(found_dir.back())) found_dir.pop_back();
      message += " in\n" + found_dir;
    }
    message += ".";
    return transfer_failure(message, TransferOutcome::kExists);
  }

  const std::string dest = qdb::normalize_dir(dest_dir);
  const qdb::DirListing dest_listing(dest);
  const std::string dest_master = qdb::master_path(dest_listing);
  qdb::Result<PortfolioIndex> index = read_portfolio_index(dest_master);
  if (!index) {
    return transfer_failure(index.error().with_cause(
        std::string(kAdditionFailed) + "The MASTER file in\n" + dest_dir + "\ncould not be read."));
  }
  // Only a listing tells which file numbers are free: a copy must never replace a file.
  if (!dest_listing.ok()) {
    return transfer_failure(dest_listing.error().with_cause(
        std::string(kAdditionFailed) + "The portfolio\n" + dest_dir + "\ncould not be listed."));
  }
  // A record appended past the header's count would be invisible to every reader of the file.
  const MasterImage& image = index->master;
  if (image.header.count() != image.records.size() || !image.tail.empty()) {
    return transfer_failure(std::string(kAdditionFailed) + "The MASTER file in\n" + dest_dir +
                            "\nis damaged: its header counts " +
                            std::to_string(image.header.count()) + " symbols but it holds " +
                            std::to_string(image.records.size()) + ". Repair it first.");
  }
  // A MASTER of 255 entries sends the symbol to the XMASTER.
  const int new_number = free_file_number(*index, dest_listing);
  if (new_number == 0) {
    return transfer_failure(
        std::string(kAdditionFailed) + "All file numbers are in use in\n" + dest_dir,
        TransferOutcome::kFull);
  }

  // The files first: until the destination's index names them, they are only spare copies.
  const int old_number = entry.record.file_number();
  const qdb::DirListing source_listing(qdb::normalize_dir(source_dir));
  const std::string source_quotes_name = qdb::quote_file_name(old_number);
  if (!source_listing.ok()) {
    return transfer_failure(source_listing.error().with_cause(
        std::string(kAdditionFailed) + "The portfolio\n" + source_dir + "\ncould not be listed."));
  }
  if (!source_listing.contains(source_quotes_name)) {
    return transfer_failure(std::string(kAdditionFailed) + "The data file " + source_quotes_name +
                            " was not found in\n" + source_listing.dir());
  }
  std::vector<std::string> created;
  auto undo_failure = [&](const std::string& reason, const qdb::Error& error) {
    std::string message = error.with_cause(std::string(kAdditionFailed) + reason);
    const std::vector<std::string> left = remove_created(created);
    if (!left.empty()) message += "\n\nThese copies were left behind:" + list_paths(left);
    return transfer_failure(message);
  };
  const std::pair<std::string, std::string> files[] = {
      {source_quotes_name, qdb::quote_file_name(new_number)},
      {qdb::data_file_name(old_number, "DOP"), qdb::data_file_name(new_number, "DOP")}};
  for (const auto& [source_name, dest_name] : files) {
    if (!source_listing.contains(source_name)) continue;  // a symbol need not have a layout file
    const std::string to = dest + dest_name;
    if (const qdb::Result<void> copied = qdb::copy_file(source_listing.resolve(source_name), to);
        !copied) {
      return undo_failure("The file " + source_name + " could not be copied to\n" + dest_dir,
                          copied.error());
    }
    created.push_back(to);
  }

  add_entry(*index, entry, new_number);
  std::string restore_failed;
  if (const qdb::Result<void> written =
          write_portfolio_index(*index, qdb::suffix::kNewIndex, false, &restore_failed);
      !written) {
    // In place but not confirmed on disk: the index names the copies, which stay.
    if (written.status() == qdb::kNotConfirmed)
      return transfer_failure(written.error().with_cause(std::string()));
    std::string reason = "The index files in\n" + dest_dir + "\ncould not be rewritten.";
    if (!restore_failed.empty()) reason += "\nThese could not be restored:" + restore_failed;
    return undo_failure(reason, written.error());
  }

  TransferResult result;
  result.ok = true;
  result.outcome = TransferOutcome::kAdded;
  result.new_file_number = new_number;
  return result;
}

TransferResult transfer_symbol(const std::string& portfolio_dir, const std::string& symbol,
                               const std::string& dest_dir, TransferMode mode, int file_number) {
  const qdb::PortfolioLock lock({qdb::normalize_dir(portfolio_dir), qdb::normalize_dir(dest_dir)});
  if (!lock.locked()) return transfer_failure(lock.failure());
  const std::string symbol_text = transfer_symbol_text(symbol);
  qdb::MasterRecord found;
  std::string source_dir;
  if (symbol_text.empty() ||
      qdb::find_symbol(portfolio_dir, symbol_text, found, source_dir, file_number) != qdb::kSuccess)
    return transfer_failure(symbol_not_found_message(symbol_text, portfolio_dir));
  const qdb::PortfolioLock source_lock({source_dir});
  if (!source_lock.locked()) return transfer_failure(source_lock.failure());

  // The entry exactly as stored: the lookup's copy holds its dates converted, and the index
  // that holds it may be a sub-portfolio's.
  const std::string source_master = qdb::master_path(qdb::DirListing(source_dir));
  qdb::Result<PortfolioIndex> source_index = read_portfolio_index(source_master);
  if (!source_index)
    return transfer_failure(master_unreadable_message(source_master, source_index.error()));
  const std::optional<IndexEntry> stored =
      find_entry(*source_index, [&](const qdb::MasterRecord& record) {
        return !record.is_directory() &&
               (file_number == 0 || record.file_number() == file_number) &&
               qdb::symbol_matches(record, symbol_text);
      });
  if (!stored) return transfer_failure(symbol_not_found_message(symbol_text, source_dir));
  const EntryToAdd entry = entry_to_add(*source_index, *stored);

  // A move that can't leave the source is undone in the destination to the last byte.
  std::optional<IndexSnapshot> dest_before;
  if (mode == TransferMode::Move) {
    qdb::Result<IndexSnapshot> snapshot = snapshot_index_files(qdb::normalize_dir(dest_dir));
    if (!snapshot)
      return transfer_failure(
          snapshot.error().with_cause("The Symbol move failed.\n\nReason: The index files in\n" +
                                      dest_dir + "\ncould not be read. Nothing was changed."));
    dest_before = std::move(*snapshot);
  }

  TransferResult result = AddSymbolToPortfolio(entry, symbol_text, source_dir, dest_dir);
  if (!result.ok || mode == TransferMode::Copy) return result;

  // Move: the destination holds the symbol now; only then leave the source.
  const int old_number = entry.record.file_number();
  const std::string dest = qdb::normalize_dir(dest_dir);
  remove_entry(*source_index, *stored);
  const bool several = source_index->emaster_changed || source_index->xmaster_changed;
  std::string restore_failed;
  if (const qdb::Result<void> written =
          write_portfolio_index(*source_index, qdb::suffix::kNewIndex, false, &restore_failed);
      !written) {
    const std::string reason =
        index_unwritable_message(source_master, several, restore_failed, written.error());
    TransferResult failed;
    failed.outcome = TransferOutcome::kFailed;
    if (written.status() == qdb::kNotConfirmed) {
      // The source no longer names the symbol: the move is made, but not known to be on disk.
      failed.messages.push_back(reason);
      return failed;
    }
    if (restore_failed.empty() && restore_snapshot(*dest_before)) {
      std::vector<std::string> copies;
      const qdb::DirListing listing(dest);
      for (const std::string& name : {qdb::quote_file_name(result.new_file_number),
                                      qdb::data_file_name(result.new_file_number, "DOP")}) {
        if (listing.contains(name)) copies.push_back(listing.resolve(name));
      }
      const std::vector<std::string> left = remove_created(copies);
      std::string message = "The Symbol move failed.\n\nReason: " + reason;
      if (!left.empty()) message += "\n\nThese copies were left behind:" + list_paths(left);
      failed.messages.push_back(message);
    } else {
      failed.messages.push_back("The Symbol move did not complete.\n\nSymbol " + symbol_text +
                                " was copied to\n" + dest_dir +
                                "\nbut could not be removed from\n" + source_dir +
                                "\nIt is now in both portfolios.\n\n" + reason);
    }
    return failed;
  }
  if (index_uses_number(*source_index, old_number)) {
    result.messages.push_back("The files of F" + std::to_string(old_number) +
                              " were kept: another symbol of the portfolio uses them.");
  } else {
    for (const LeftFile& left : remove_symbol_files(qdb::normalize_dir(source_dir), old_number)) {
      result.ok = false;
      result.messages.push_back(left_file_message(left));
    }
  }
  return result;
}

}  // namespace core
