#include "core/master_dates.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "core/command_result.h"
#include "core/master_image.h"
#include "core/master_repair.h"
#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"

namespace core {
namespace {

struct DataDates {
  qdb::DateSerial oldest = 0;
  qdb::DateSerial newest = 0;
  qdb::DateForm form = qdb::DateForm::kTwoDigit;  // the century form of the file's dates
};

// The dates of the oldest and newest quote of the record's data file; nullopt when it holds
// none or cannot be read.
std::optional<DataDates> data_dates(const qdb::DirListing& listing,
                                    const qdb::MasterRecord& record) {
  const int length = record.record_length();
  if (length < 4) return std::nullopt;
  const int number = record.file_number();
  qdb::SeriesLayout layout;
  if (qdb::read_layout(listing.resolve(qdb::data_file_name(number, "DOP")), layout, length) !=
      qdb::kSuccess)
    return std::nullopt;
  std::unique_ptr<qdb::ReadFile> file =
      qdb::file_system().open_read(listing.resolve(qdb::quote_file_name(number)));
  if (!file) return std::nullopt;
  const auto size = static_cast<std::size_t>(length);
  std::vector<std::uint8_t> bytes(size);
  if (file->read(bytes.data(), size) != size) return std::nullopt;
  const int stored =
      qdb::read_u16le(bytes.data() + 2);  // the header's record count, unsigned 16-bit
  // Only quotes that are in the file count, whatever the header claims.
  const std::uint64_t whole = file->size() / size;
  const std::int64_t count =
      std::min<std::int64_t>(stored - 1, static_cast<std::int64_t>(whole) - 1);
  if (count < 1) return std::nullopt;
  DataDates dates;
  dates.form = qdb::data_file_date_form(*file, length, layout.column[qdb::kDate], stored);
  if (!file->seek(size) || file->read(bytes.data(), size) != size) return std::nullopt;
  dates.oldest =
      qdb::decode_record(bytes.data(), length, record.field_count(), layout, dates.form).date;
  if (!file->seek(static_cast<std::uint64_t>(count) * size) ||
      file->read(bytes.data(), size) != size)
    return std::nullopt;
  dates.newest =
      qdb::decode_record(bytes.data(), length, record.field_count(), layout, dates.form).date;
  if (dates.oldest == 0 || dates.newest == 0) return std::nullopt;
  return dates;
}

// The MASTER's date, read in the century form of the data file it describes.
qdb::DateSerial master_date(const qdb::MasterRecord& record, int offset, qdb::DateForm form) {
  return qdb::date_from_real(qdb::mbf_to_float(record.bytes.data() + offset), form);
}

std::vector<StaleMasterDate> stale_in(const MasterImage& image, const qdb::DirListing& listing) {
  std::vector<StaleMasterDate> stale;
  int entry = 0;
  for (const qdb::MasterRecord& record : image.records) {
    ++entry;
    if (record.is_directory() || record.file_number() == 0) continue;
    const std::optional<DataDates> dates = data_dates(listing, record);
    if (!dates) continue;
    const qdb::DateSerial first = master_date(record, qdb::master_offset::kFirstDate, dates->form);
    const qdb::DateSerial last = master_date(record, qdb::master_offset::kLastDate, dates->form);
    if (first != dates->oldest)
      stale.push_back({entry, record.file_number(), true, first, dates->oldest});
    if (last != dates->newest)
      stale.push_back({entry, record.file_number(), false, last, dates->newest});
  }
  return stale;
}

std::string date_words(qdb::DateSerial serial) {
  return serial == 0 ? std::string("no date") : qdb::format_date_string(serial);
}

}  // namespace

std::vector<StaleMasterDate> find_stale_master_dates(const std::string& master_path) {
  const std::string path = qdb::resolve_path(master_path);
  const qdb::Result<MasterImage> image = read_master_image(path);
  if (!image) return {};
  return stale_in(*image, qdb::DirListing(qdb::split_path(path).first));
}

std::string stale_date_text(const StaleMasterDate& stale) {
  return "entry " + std::to_string(stale.entry) + " (F" + std::to_string(stale.file_number) +
         ".DAT): the " + (stale.first ? "first" : "last") + " date is " +
         date_words(stale.master_date) + ", but the " + (stale.first ? "oldest" : "newest") +
         " quote is dated " + date_words(stale.data_date);
}

DateRepairResult correct_master_dates(const std::string& master_path, bool make_backup) {
  DateRepairResult result;
  const std::string path = qdb::resolve_path(master_path);
  const auto [dir, name] = qdb::split_path(path);
  const qdb::PortfolioLock lock({dir});
  if (!lock.locked()) return failed_with<DateRepairResult>(lock.failure());
  qdb::Result<MasterImage> image = read_master_image(path);
  if (!image)
    return failed_with<DateRepairResult>(
        image.error().with_cause("the MASTER file " + path + " could not be read"));
  const qdb::DirListing listing(dir);
  const std::vector<StaleMasterDate> stale = stale_in(*image, listing);
  if (stale.empty()) {
    result.ok = true;
    return result;
  }
  qdb::PortfolioTransaction transaction(listing);
  // After a rebuild (no backup asked: the rebuild made them) the MASTER stays as rebuilt.
  const std::string left = make_backup
                               ? "the MASTER file was left unchanged"
                               : "the rebuilt MASTER file was kept with its dates uncorrected";
  if (make_backup) {
    // As the rebuild does: MASTER.bak keeps the file as it was before the first repair, made
    // only when no file of that name exists; the repair's own backup keeps it as it is now.
    const std::string first_backup = name + std::string(qdb::suffix::kRepairBackup);
    if (!listing.contains(first_backup)) {
      if (const qdb::Result<void> backed = transaction.backup(name, first_backup); !backed) {
        result.failure = backed.error().with_cause("the backup " + dir + first_backup +
                                                   " could not be written; " + left);
        return result;
      }
      result.first_backup_path = dir + first_backup;
    }
    const std::string backup = repair_backup_name(transaction.listing(), name);
    result.backup_path = dir + backup;
    if (const qdb::Result<void> backed = transaction.backup(name, backup); !backed) {
      result.failure = backed.error().with_cause("the backup " + result.backup_path +
                                                 " could not be written; " + left);
      result.backup_path.clear();
      return result;
    }
  }
  qdb::Staging how;
  how.temp_suffix = qdb::suffix::kNewRepair;
  how.expected = image->identity;
  how.original = master_image_bytes(*image);
  for (const StaleMasterDate& date : stale) {
    qdb::MasterRecord& record = image->records[static_cast<std::size_t>(date.entry - 1)];
    const qdb::MbfReal cell = qdb::date_to_mbf(date.data_date);
    std::memcpy(record.bytes.data() +
                    (date.first ? qdb::master_offset::kFirstDate : qdb::master_offset::kLastDate),
                cell.bytes, 4);
  }
  qdb::Result<void> written = transaction.stage(
      name, [&image](qdb::WriteFile& out) { return write_master_image(out, *image); }, how);
  if (written) written = transaction.commit();
  if (!written) {
    result.failure =
        written.error().with_cause("the corrected MASTER could not be written; " + left);
    return result;
  }
  result.ok = true;
  result.corrected = static_cast<int>(stale.size());
  return result;
}

}  // namespace core
