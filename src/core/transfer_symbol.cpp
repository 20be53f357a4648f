#include "core/transfer_symbol.h"

#include <array>
#include <optional>
#include <vector>

#include "core/master_image.h"
#include "core/symbol_files.h"
#include "core/symbol_messages.h"
#include "qdb/failure.h"
#include "qdb/file_system.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
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

// The lowest file number that no record uses and that has no data or layout file yet, so a new
// F<n>.DAT never overwrites a file of the destination. 0 when there is none.
int lowest_free_file_number(const MasterImage& image, const qdb::DirListing& listing) {
  std::array<bool, 256> used{};
  used[0] = true;
  for (const qdb::MasterRecord& record : image.records) used[record.file_number()] = true;
  for (int n = 1; n <= qdb::kMaxSymbols; ++n) {
    if (used[n]) continue;
    if (listing.contains(qdb::data_file_name(n, "DAT")) ||
        listing.contains(qdb::data_file_name(n, "DOP")))
      continue;
    return n;
  }
  return 0;
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

// Takes out of the MASTER at master_path the first (or last) record equal to record and
// lowers the counters. false when the record isn't there or the MASTER can't be replaced.
bool remove_record(const std::string& master_path, const qdb::MasterRecord& record, bool last_one,
                   MasterImage* after = nullptr) {
  std::optional<MasterImage> image = read_master_image(master_path);
  if (!image) return false;
  auto& records = image->records;
  auto found = records.end();
  for (auto it = records.begin(); it != records.end(); ++it) {
    if (it->bytes == record.bytes) {
      found = it;
      if (!last_one) break;
    }
  }
  if (found == records.end()) return false;
  records.erase(found);
  lower_counts(image->header);
  if (!write_master_image(master_path, ".~NU", *image)) return false;
  if (after != nullptr) *after = std::move(*image);
  return true;
}

}  // namespace

std::string transfer_symbol_text(const std::string& symbol) {
  std::string text = qdb::to_upper_ascii(symbol);
  qdb::trim_right(text);
  const std::size_t lead = text.find_first_not_of(' ');
  return lead == std::string::npos ? std::string() : text.substr(lead);
}

TransferResult add_symbol_to_portfolio(const qdb::MasterRecord& record,
                                       const std::string& symbol_text,
                                       const std::string& source_dir, const std::string& dest_dir) {
  // Both portfolios, in the one fixed order every transfer takes them.
  const qdb::PortfolioLock lock({qdb::normalize_dir(source_dir), qdb::normalize_dir(dest_dir)});
  if (!lock.locked()) return transfer_failure(lock.failure());
  qdb::MasterRecord found;
  std::string found_dir;
  if (qdb::find_symbol(dest_dir, symbol_text, found, found_dir) == qdb::kSuccess) {
    // "The Symbol addition failed.\n\nReason: Symbol %s already exists in\n%s"
    return transfer_failure(
        std::string(kAdditionFailed) + "Symbol " + symbol_text + " already exists in\n" + dest_dir,
        TransferOutcome::kExists);
  }

  const std::string dest = qdb::normalize_dir(dest_dir);
  const qdb::DirListing dest_listing(dest);
  const std::string dest_master = qdb::master_path(dest_listing);
  std::optional<MasterImage> image = read_master_image(dest_master);
  if (!image) {
    return transfer_failure(qdb::with_cause(std::string(kAdditionFailed) + "The MASTER file in\n" +
                                            dest_dir + "\ncould not be read."));
  }
  if (image->header.count() == qdb::kMaxSymbols || image->header.count2() == qdb::kMaxSymbols) {
    return transfer_failure(
        "The portfolio already has the\nmaximum number of symbols (255).\nChoose a different or "
        "new portfolio.",
        TransferOutcome::kFull);
  }
  // A record appended past the header's count would be invisible to every reader of the file.
  if (image->header.count() != image->records.size() || !image->tail.empty()) {
    return transfer_failure(std::string(kAdditionFailed) + "The MASTER file in\n" + dest_dir +
                            "\nis damaged: its header counts " +
                            std::to_string(image->header.count()) + " symbols but it holds " +
                            std::to_string(image->records.size()) + ". Repair it first.");
  }
  const int new_number = lowest_free_file_number(*image, dest_listing);
  if (new_number == 0) {
    return transfer_failure(std::string(kAdditionFailed) +
                            "All file numbers 1 to 255 are in use in\n" + dest_dir);
  }

  // The files first: until the destination MASTER names them, they are only spare copies.
  const int old_number = record.file_number();
  const qdb::DirListing source_listing(qdb::normalize_dir(source_dir));
  const std::string source_dat_name = qdb::data_file_name(old_number, "DAT");
  if (!source_listing.contains(source_dat_name)) {
    return transfer_failure(std::string(kAdditionFailed) + "The data file " + source_dat_name +
                            " was not found in\n" + source_listing.dir());
  }
  std::vector<std::string> created;
  auto undo_failure = [&](const std::string& reason) {
    std::string message = qdb::with_cause(std::string(kAdditionFailed) + reason);
    const std::vector<std::string> left = remove_created(created);
    if (!left.empty()) message += "\n\nThese copies were left behind:" + list_paths(left);
    return transfer_failure(message);
  };
  for (const char* extension : {"DAT", "DOP"}) {
    const std::string source_name = qdb::data_file_name(old_number, extension);
    if (!source_listing.contains(source_name)) continue;  // a symbol need not have a layout file
    const std::string to = dest + qdb::data_file_name(new_number, extension);
    if (!qdb::copy_file(source_listing.resolve(source_name), to))
      return undo_failure("The file " + source_name + " could not be copied to\n" + dest_dir);
    created.push_back(to);
  }

  qdb::MasterRecord added = record;
  added.bytes[qdb::master_offset::kFileNumber] = static_cast<std::uint8_t>(new_number);
  image->records.push_back(added);
  raise_counts(image->header);
  if (!write_master_image(dest_master, ".~NU", *image))
    return undo_failure("The MASTER file in\n" + dest_dir + "\ncould not be rewritten.");

  TransferResult result;
  result.ok = true;
  result.outcome = TransferOutcome::kAdded;
  result.new_file_number = new_number;
  return result;
}

TransferResult transfer_symbol(const std::string& portfolio_dir, const std::string& symbol,
                               const std::string& dest_dir, bool move) {
  qdb::clear_failure();
  const qdb::PortfolioLock lock({qdb::normalize_dir(portfolio_dir), qdb::normalize_dir(dest_dir)});
  if (!lock.locked()) return transfer_failure(lock.failure());
  const std::string symbol_text = transfer_symbol_text(symbol);
  qdb::MasterRecord found;
  std::string source_dir;
  if (symbol_text.empty() ||
      qdb::find_symbol(portfolio_dir, symbol_text, found, source_dir) != qdb::kSuccess)
    return transfer_failure(symbol_not_found_message(symbol_text, portfolio_dir));
  const qdb::PortfolioLock source_lock({source_dir});
  if (!source_lock.locked()) return transfer_failure(source_lock.failure());

  // The record exactly as stored: the lookup's copy holds its dates converted, and the MASTER
  // that holds it may be a sub-portfolio's.
  const std::string source_master = qdb::master_path(qdb::DirListing(source_dir));
  std::optional<MasterImage> source_image = read_master_image(source_master);
  if (!source_image) return transfer_failure(master_unreadable_message(source_master));
  const qdb::MasterRecord* stored = nullptr;
  for (const qdb::MasterRecord& record : source_image->records) {
    if (!record.is_directory() && qdb::symbol_matches(record, symbol_text)) {
      stored = &record;
      break;
    }
  }
  if (stored == nullptr) return transfer_failure(symbol_not_found_message(symbol_text, source_dir));
  const qdb::MasterRecord record = *stored;

  TransferResult result = add_symbol_to_portfolio(record, symbol_text, source_dir, dest_dir);
  if (!result.ok || !move) return result;

  // Move: the destination holds the symbol now; only then leave the source.
  const int old_number = record.file_number();
  const std::string dest = qdb::normalize_dir(dest_dir);
  MasterImage source_after;
  if (!remove_record(source_master, record, false, &source_after)) {
    qdb::MasterRecord added = record;
    added.bytes[qdb::master_offset::kFileNumber] =
        static_cast<std::uint8_t>(result.new_file_number);
    const std::string dest_master = qdb::master_path(qdb::DirListing(dest));
    TransferResult failed;
    failed.outcome = TransferOutcome::kFailed;
    if (remove_record(dest_master, added, true)) {
      std::vector<std::string> copies;
      const qdb::DirListing listing(dest);
      for (const char* extension : {"DAT", "DOP"}) {
        const std::string name = qdb::data_file_name(result.new_file_number, extension);
        if (listing.contains(name)) copies.push_back(listing.resolve(name));
      }
      const std::vector<std::string> left = remove_created(copies);
      std::string message =
          "The Symbol move failed.\n\nReason: " + master_unwritable_message(source_master);
      if (!left.empty()) message += "\n\nThese copies were left behind:" + list_paths(left);
      failed.messages.push_back(message);
    } else {
      failed.messages.push_back("The Symbol move did not complete.\n\nSymbol " + symbol_text +
                                " was copied to\n" + dest_dir +
                                "\nbut could not be removed from\n" + source_dir +
                                "\nIt is now in both portfolios.");
    }
    return failed;
  }
  if (file_number_in_use(source_after, old_number)) {
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
