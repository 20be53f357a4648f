// The read-modify-write pass over a symbol's data file, and the MASTER date correction.
//
// Both passes change their files in one PortfolioTransaction: every new file is built complete
// beside the old one and renamed into place, so a failure at any point leaves the files as they
// were. Cells that a pass does not change are copied with their stored bytes, never decoded and
// encoded again.
#include "qdb/rewrite.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/lookup_detail.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lock.h"
#include "qdb/portfolio_transaction.h"
#include "qdb/series.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace qdb {
namespace {

// Why a pass stopped before its new file was complete.
enum class PassOutcome { kDone, kWriteFailed, kReadFailed, kNoRecordOfDate };

// A correction of one MASTER date, worked out while the old data file is still intact.
struct MasterCorrection {
  MasterDate which;
  DateSerial date;
};

// The date serial of quote index of key, or nullopt when it cannot be read.
std::optional<DateSerial> quote_date(std::string_view root, std::string_view key, int file_number,
                                     std::int32_t index) {
  QuoteSeries series;
  if (series_alloc(series, 1) != kSuccess) return std::nullopt;
  std::optional<DateSerial> date;
  if (read_series(series, root, key, index, 1, file_number) == kSuccess && series.count == 1) {
    date = series.date(0);
  }
  series_free(series);
  return date;
}

// The MASTER dates that deleting quote k of n quotes changes (none for a middle quote);
// nullopt when the neighbouring quote they come from cannot be read.
std::optional<std::vector<MasterCorrection>> corrections_for_delete(std::string_view root,
                                                                    std::string_view key,
                                                                    int file_number, std::int32_t k,
                                                                    int n) {
  std::vector<MasterCorrection> corrections;
  std::int32_t source = -1;
  if (k == 0 && n > 1) {
    source = 1;
  } else if (k == n - 1 && n > 1) {
    source = n - 2;
  } else if (k == 0 && n == 1) {
    source = 0;
  } else {
    return corrections;
  }
  const std::optional<DateSerial> date = quote_date(root, key, file_number, source);
  if (!date) return std::nullopt;
  if (n == 1) {
    corrections.push_back({MasterDate::kLast, *date});
    corrections.push_back({MasterDate::kFirst, *date});
  } else {
    corrections.push_back({k == 0 ? MasterDate::kFirst : MasterDate::kLast, *date});
  }
  return corrections;
}

struct MasterCell {
  MasterDate which;
  MbfReal cell;
};

std::vector<MasterCell> cells_of(const std::vector<MasterCorrection>& corrections) {
  std::vector<MasterCell> cells;
  for (const MasterCorrection& correction : corrections)
    cells.push_back({correction.which, date_to_mbf(correction.date)});
  return cells;
}

// Stages the MASTER name of the transaction's directory with the corrected dates of every entry
// of file_number, after copying it to its ".BAK".
Result<void> stage_master_dates(PortfolioTransaction& transaction, std::string_view name,
                                const std::vector<MasterCell>& corrections, int file_number) {
  if (name.empty()) return Error{kFileWrite, {}};
  const std::string master = transaction.path_of(name);
  const std::string own_name = split_path(master).second;

  std::unique_ptr<ReadFile> source = file_system().open_read(master);
  if (!source) return error_of(master, errno);
  const std::uint64_t size = source->size();
  Staging how;
  how.expected = source->identity();
  if (Result<void> backed = transaction.backup(own_name, own_name + std::string(suffix::kBackup));
      !backed)
    return backed;

  std::optional<Error> read_failed;
  Result<void> staged = transaction.stage(
      own_name,
      [&](WriteFile& out) {
        MasterRecord record;
        std::uint64_t remaining = size;
        bool header = true;
        while (remaining > 0) {
          const std::size_t want = remaining >= kMasterRecordSize
                                       ? kMasterRecordSize
                                       : static_cast<std::size_t>(remaining);
          if (source->read(record.bytes.data(), want) != want) {
            read_failed = last_error_of(master);
            return false;
          }
          remaining -= want;
          if (!header && want == kMasterRecordSize && record.file_number() == file_number &&
              !record.is_directory()) {
            for (const MasterCell& correction : corrections) {
              const int offset = correction.which == MasterDate::kLast ? master_offset::kLastDate
                                                                       : master_offset::kFirstDate;
              std::memcpy(record.bytes.data() + offset, correction.cell.bytes, 4);
            }
          }
          header = false;
          if (!out.write(record.bytes.data(), want)) return false;
        }
        source.reset();
        return true;
      },
      how);
  if (read_failed) return std::move(*read_failed);
  return staged;
}

// Stages the EMASTER (for a MASTER entry) or the XMASTER (for an XMASTER entry) of the
// transaction's directory with the corrected dates of file_number's entry, after copying it to
// its ".BAK". Nothing is staged when the portfolio has no such file or it holds no such entry;
// the file's bytes as read are held, so a later failure can put them back.
Result<void> stage_extended_dates(PortfolioTransaction& transaction,
                                  const std::vector<MasterCorrection>& corrections,
                                  int file_number) {
  const bool extended = file_number >= kFirstExtendedNumber;
  const std::string name = extended ? "XMASTER" : "EMASTER";
  // Only a listing tells that the portfolio has no such file.
  if (!transaction.listing().ok()) return transaction.listing().error();
  if (!transaction.listing().contains(name)) return {};
  const std::string path = transaction.path_of(name);
  Result<RawIndexFile> image =
      read_raw_index(path, extended ? kXmasterRecordSize : kEmasterRecordSize);
  if (!image) return std::move(image).error();
  Staging how;
  how.original = image->bytes();
  how.expected = image->identity;
  // The new file and the backup take the upper-case name whatever the file's own case.
  how.temp_name = name + std::string(suffix::kNew);
  bool found = false;
  for (std::size_t i = 0; i < image->records.size(); ++i) {
    std::uint8_t* entry = image->entry(i);
    const int number = extended ? xmaster_file_number(entry) : emaster_file_number(entry);
    if (number != file_number) continue;
    found = true;
    for (const MasterCorrection& correction : corrections) {
      const bool last = correction.which == MasterDate::kLast;
      const float real = date_to_real(correction.date);
      if (extended) {
        set_xmaster_date(entry, last, real);
      } else {
        set_emaster_date(entry, last, real);
      }
    }
  }
  if (!found) return {};
  if (Result<void> backed = transaction.backup(name, name + std::string(suffix::kBackup)); !backed)
    return backed;
  return transaction.stage(name, image->bytes(), how);
}

// Everything one data-file pass needs about the records it rewrites.
struct RecordShape {
  int length = 0;       // bytes per record, header included
  int cells = 0;        // whole 4-byte columns inside the record
  int column[8] = {};   // 1-based column of each field, 0 when absent or outside the record
  int field_count = 0;  // the MASTER entry's field count, for decoding a record's time
  const SeriesLayout* layout = nullptr;
  // The records the header counts as quotes (its record count less one). Records after them
  // are no quotes: a request that picks records never picks them, so they stay as they were.
  std::int32_t quotes = INT32_MAX;
};

std::uint8_t* cell_of(std::vector<std::uint8_t>& record, int column) {
  return record.data() + 4 * (column - 1);
}

// Whether a request picks its records by more than their date.
bool picks_records(const SeriesEditRequest& request) {
  if (request.op != kOpSet && request.op != kOpScale2 && request.op != kOpScale &&
      request.op != kOpDelete)
    return false;
  return request.record >= 0 || request.seconds >= 0 || request.every_match;
}

// Whether the record at position index (0 the first after the header) is one the request
// picks: in its date range, and at its position and its time when it names them.
bool picked(const SeriesEditRequest& request, const RecordShape& shape, DateForm form,
            std::int32_t index, const std::vector<std::uint8_t>& record, DateSerial date) {
  if (index >= shape.quotes) return false;
  if (date < request.first_date || date > request.last_date) return false;
  if (request.record >= 0 && index != request.record) return false;
  if (request.seconds < 0) return true;
  if (shape.column[kTime] == 0 || shape.layout == nullptr) return false;
  const QuoteBar bar =
      decode_record(record.data(), shape.length, shape.field_count, *shape.layout, form);
  return bar_seconds(bar) == request.seconds;
}

// What a look through every record finds for a request that picks records: how many it picks
// and, for a delete, the MASTER dates that change when the picked records go.
struct PickedRecords {
  std::int32_t count = 0;    // records picked
  std::int32_t dropped = 0;  // of those, the ones a delete leaves out
  std::vector<MasterCorrection> corrections;
};

// Reads every record after the header (source positioned there). quote_count is the number of
// quotes the header claims; the MASTER's dates follow the first and last of those.
std::optional<PickedRecords> find_picked(const SeriesEditRequest& request, const RecordShape& shape,
                                         DateForm form, ReadFile& source, std::uint64_t remaining,
                                         std::int32_t quote_count) {
  const auto length = static_cast<std::size_t>(shape.length);
  std::vector<std::uint8_t> record(length);
  PickedRecords found;
  std::optional<DateSerial> first_kept;
  std::optional<DateSerial> last_kept;
  DateSerial first_date = 0;
  DateSerial last_date = 0;
  bool first_dropped = false;
  bool last_dropped = false;
  for (std::int32_t index = 0; remaining >= length; ++index) {
    if (source.read(record.data(), length) != length) return std::nullopt;
    remaining -= length;
    const DateSerial date =
        date_from_real(mbf_to_float(cell_of(record, shape.column[kDate])), form);
    bool dropped = false;
    if (picked(request, shape, form, index, record, date)) {
      ++found.count;
      dropped = request.op == kOpDelete && (request.every_match || found.dropped == 0);
      if (dropped) ++found.dropped;
    }
    if (index >= quote_count) continue;
    if (index == 0) {
      first_date = date;
      first_dropped = dropped;
    }
    // The last counted record the file holds: a file cut short of its header's count ends
    // its quotes there, as the reader does.
    last_date = date;
    last_dropped = dropped;
    if (!dropped) {
      if (!first_kept) first_kept = date;
      last_kept = date;
    }
  }
  if (request.op != kOpDelete || found.dropped == 0) return found;
  if (!first_kept) {
    // Every quote goes: the MASTER keeps the dates of the first and last one, as it does when
    // a file's only quote is deleted.
    found.corrections.push_back({MasterDate::kLast, last_date});
    found.corrections.push_back({MasterDate::kFirst, first_date});
    return found;
  }
  if (first_dropped) found.corrections.push_back({MasterDate::kFirst, *first_kept});
  if (last_dropped) found.corrections.push_back({MasterDate::kLast, *last_kept});
  return found;
}

// Applies op 1 or ops 2/3 to the mapped price, volume and open interest cells of one record.
// A keep mark (NaN) leaves the stored bytes alone.
void change_values(const SeriesEditRequest& request, const RecordShape& shape,
                   std::vector<std::uint8_t>& record) {
  for (int field = kOpen; field <= kOi; ++field) {
    const int column = shape.column[field];
    if (column == 0) continue;
    const float value = request.values[field - kOpen];
    if (std::isnan(value)) continue;
    std::uint8_t* cell = cell_of(record, column);
    if (request.op == kOpSet) {
      float_to_mbf(value, cell);
    } else {
      float_to_mbf(mbf_to_float(cell) * value, cell);
    }
  }
}

// Copies the data file from source into out, changing it by the request. source is positioned
// after the header, which the caller has written already.
PassOutcome rewrite_records(const SeriesEditRequest& request, const RecordShape& shape,
                            DateForm form, ReadFile& source, std::uint64_t remaining,
                            WriteFile& out) {
  const auto length = static_cast<std::size_t>(shape.length);
  std::vector<std::uint8_t> record(length);
  const bool picks = picks_records(request);
  bool deleted = false;
  bool inserted = false;
  for (std::int32_t index = 0; remaining >= length; ++index) {
    if (source.read(record.data(), length) != length) return PassOutcome::kReadFailed;
    remaining -= length;
    const DateSerial date =
        date_from_real(mbf_to_float(cell_of(record, shape.column[kDate])), form);
    const bool in_range = picks ? picked(request, shape, form, index, record, date)
                                : request.first_date <= date && date <= request.last_date;
    bool keep = true;
    switch (request.op) {
      case kOpSet:
      case kOpScale2:
      case kOpScale:
        if (in_range) change_values(request, shape, record);
        break;
      case kOpDelete:
        if (in_range && (!deleted || request.every_match)) {
          deleted = true;
          keep = false;
        }
        break;
      case kOpInsert:
        // One copy only, before the first quote of the requested day, so that the header's
        // count (raised by one) stays the number of quotes.
        if (!inserted && date == request.first_date) {
          const DateSerial copy_date = previous_weekday(date, form);
          if (copy_date == 0) return PassOutcome::kNoRecordOfDate;
          std::vector<std::uint8_t> copy = record;
          const MbfReal cell = date_to_mbf(copy_date);
          std::memcpy(cell_of(copy, shape.column[kDate]), cell.bytes, 4);
          if (!out.write(copy.data(), copy.size())) return PassOutcome::kWriteFailed;
          inserted = true;
        }
        break;
      default:
        break;
    }
    if (keep && !out.write(record.data(), record.size())) return PassOutcome::kWriteFailed;
  }
  // Bytes after the last whole record are no quote; they are kept as they were.
  if (remaining > 0) {
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(remaining));
    if (source.read(tail.data(), tail.size()) != tail.size()) return PassOutcome::kReadFailed;
    if (!out.write(tail.data(), tail.size())) return PassOutcome::kWriteFailed;
  }
  if (request.op == kOpDelete && !deleted) return PassOutcome::kNoRecordOfDate;
  if (request.op == kOpInsert && !inserted) return PassOutcome::kNoRecordOfDate;
  return PassOutcome::kDone;
}

// Works out which columns a pass may touch. Like the reader, a mapped column is taken as an
// MBF cell whatever the field count claims, but never one past the record; a record without
// a usable DATE column cannot be rewritten.
Error delete_not_found() { return Error{kDeleteNotFound, kDeleteNotFoundMessage}; }

std::optional<RecordShape> record_shape(const MasterRecord& record, const SeriesLayout& layout) {
  RecordShape shape;
  shape.length = record.record_length();
  if (shape.length < 4) return std::nullopt;
  shape.cells = shape.length / 4;
  shape.field_count = record.field_count();
  shape.layout = &layout;
  for (int field = 0; field < kFieldCountAll; ++field) {
    const int column = layout.column[field];
    shape.column[field] = (column >= 1 && column <= shape.cells) ? column : 0;
  }
  if (shape.column[kDate] == 0) return std::nullopt;
  return shape;
}

// The pass of rewrite_series. The lookup and layout reads answer a status only; their cause
// names a file that is no regular file, when one is.
Result<void> rewrite_pass(const SeriesEditRequest& request, std::string_view root,
                          std::string_view key, std::string_view master_path, int quote_count,
                          int file_number_wanted) {
  // The whole read-modify-write holds the portfolio, and the one whose MASTER it corrects.
  const std::string root_dir = normalize_dir(root);
  const PortfolioLock lock({root_dir, split_path(master_path).first});
  if (!lock.locked()) return Error{kFileOpen, lock.failure()};

  MasterRecord entry;
  std::string dir;
  std::optional<DirListing> found_listing;
  const StatusCode found =
      detail::find_symbol_listed(root, key, entry, dir, found_listing, file_number_wanted);
  if (found != kSuccess) return Error{found, not_regular_file_cause(root, key, file_number_wanted)};
  const PortfolioLock sub_lock({dir});
  if (!sub_lock.locked()) return Error{kFileOpen, sub_lock.failure()};
  const int file_number = entry.file_number();
  DirListing listing = found_listing ? std::move(*found_listing) : DirListing(dir);
  // The dates to correct are the found entry's: when the lookup went down into a sub-portfolio,
  // that one's own index files hold them, and the MASTER named by the caller lists another
  // entry under the same file number.
  const std::string index_path =
      dir == root_dir ? std::string(master_path) : qdb::master_path(listing);

  SeriesLayout layout;
  const StatusCode laid_out = detail::read_layout_listed(
      listing, file_number, layout, entry.record_length(), entry.field_count());
  if (laid_out != kSuccess)
    return Error{laid_out, not_regular_file_cause(root, key, file_number_wanted)};
  std::optional<RecordShape> shape = record_shape(entry, layout);
  if (!shape) return Error{kLayoutUnknown, not_regular_file_cause(root, key, file_number_wanted)};

  const std::string data_name = quote_file_name(file_number);
  const std::string data_path = listing.resolve(data_name);
  const std::string backup_path =
      listing.resolve(data_file_name(file_number, suffix::kBackupExtension));
  FileSystem& files = file_system();
  // The data file must open before anything is touched.
  std::unique_ptr<ReadFile> source = files.open_read(data_path);
  if (!source) return error_of(data_path, errno, kFileOpen);
  // The file as read: it must still be this one when the new one takes its place.
  const std::optional<FileIdentity> identity = source->identity();

  const std::uint64_t size = source->size();
  const auto length = static_cast<std::size_t>(shape->length);
  std::vector<std::uint8_t> header(length);
  if (size < length || source->read(header.data(), length) != length)
    return last_error_of(data_path, kFileRead);
  // The header's record count is unsigned 16-bit. An insert into a file whose header
  // already counts the most it can is refused before anything is written, the backup included.
  std::int32_t count = read_u16le(header.data() + 2);
  if (request.op == kOpInsert && count >= kMaxDataRecords) {
    return Error{kFileWrite, file_name_of(data_path) +
                                 "'s header already counts 65,535 records (65,534 quotes), the "
                                 "most a data file can hold; no quote was added"};
  }

  // Every file the pass changes, the data file and the index files that give its dates, changes
  // in one transaction.
  PortfolioTransaction transaction(listing);
  // The backup comes first: when it cannot be written the disk is in no state for a rewrite. A
  // failure after the data file took its place brings it back from there.
  if (Result<void> backed = transaction.backup(data_name, split_path(backup_path).second); !backed)
    return Error{kFileWrite, std::move(backed).error().cause};

  shape->quotes = count - 1;
  const bool picks = picks_records(request);
  std::vector<MasterCorrection> corrections;
  if (request.op == kOpDelete && !picks) {
    DateSerial date_out = 0;
    const std::int32_t index =
        find_quote(root, key, request.first_date, 0, &date_out, nullptr, file_number_wanted);
    if (index < 0 || date_out != request.first_date) return delete_not_found();
    // Read while the old data file is intact, with the count the file holds now (the one the
    // caller saw may be out of date).
    const std::int32_t held = count - 1;
    const int count_now = held >= 0 ? held : quote_count;
    auto needed = corrections_for_delete(root, key, file_number_wanted, index, count_now);
    if (!needed) {
      return Error{kFileRead, file_name_of(data_path) +
                                  ": the quote next to the one deleted could not be read"};
    }
    corrections = std::move(*needed);
  }

  // Dates are read in the form the file's last quote shows; the read goes back to the first
  // quote afterwards.
  const DateForm form = data_file_date_form(*source, shape->length, shape->column[kDate], count);
  if (!source->seek(length)) return Error{kFileRead, {}};
  int dropped = request.op == kOpDelete ? 1 : 0;
  if (picks) {
    const int held = count - 1;
    const std::optional<PickedRecords> found =
        find_picked(request, *shape, form, *source, size - length, held);
    if (!found) return last_error_of(data_path, kFileRead);
    if (!source->seek(length)) return Error{kFileRead, {}};
    if (request.record >= 0 && found->count == 0) {
      return Error{kQuoteChanged,
                   "The file changed: " + file_name_of(data_path) +
                       " no longer holds the quote of " + format_date_string(request.first_date) +
                       (request.seconds >= 0 ? " " + format_seconds_string(request.seconds)
                                             : std::string()) +
                       " at its place. Reload the quotes and try again."};
    }
    if (request.op == kOpDelete) {
      if (found->dropped == 0) return delete_not_found();
      dropped = found->dropped;
      corrections = found->corrections;
    }
  }
  // A delete found its quotes, so the header's count covers at least them here; an insert was
  // checked above.
  if (request.op == kOpDelete) count = std::max(count - dropped, 0);
  if (request.op == kOpInsert) ++count;
  write_u16le(header.data() + 2, static_cast<std::uint16_t>(count));

  PassOutcome outcome = PassOutcome::kDone;
  Staging how;
  how.temp_name = data_file_name(file_number, suffix::kNewExtension);
  how.expected = identity;
  Result<void> written = transaction.stage(
      data_name,
      [&](WriteFile& out) {
        if (!out.write(header.data(), header.size())) {
          outcome = PassOutcome::kWriteFailed;
        } else {
          outcome = rewrite_records(request, *shape, form, *source, size - length, out);
        }
        // The old file is closed before the new one is renamed over it.
        source.reset();
        return outcome == PassOutcome::kDone;
      },
      how);
  if (!written) {
    switch (outcome) {
      case PassOutcome::kReadFailed:
        return error_of(data_path, EIO, kFileRead);
      case PassOutcome::kNoRecordOfDate:
        if (request.op == kOpDelete) return delete_not_found();
        return Error{kRecordNotFound, {}};
      default:
        return Error{kFileWrite, std::move(written).error().cause};
    }
  }

  // Every new file is complete before any takes its place: the data file first, then the
  // EMASTER or XMASTER entry's file, then the MASTER. Nothing has changed until the data file's
  // rename.
  if (!corrections.empty()) {
    Result<void> dates = entry.is_extended()
                             ? Result<void>()
                             : stage_master_dates(transaction, split_path(index_path).second,
                                                  cells_of(corrections), file_number);
    if (dates) dates = stage_extended_dates(transaction, corrections, file_number);
    if (!dates) {
      std::string cause = std::move(dates).error().cause;
      if (cause.empty()) cause = file_name_of(index_path) + ": the dates could not be corrected";
      return Error{kFileWrite, std::move(cause)};
    }
  }
  Result<void> committed = transaction.commit();
  if (committed) return {};
  // The transaction brought back what it had replaced; the data file comes from F<n>.BAK, and
  // when even that failed the index files describe quotes the file no longer holds.
  const std::string cause = std::move(committed).error().cause;
  if (transaction.restore_failed().find(data_path) == std::string::npos)
    return Error{kFileWrite, cause};
  if (corrections.empty()) {
    return Error{kFileWrite, cause + "\n" + file_name_of(data_path) + " could not be put back; " +
                                 file_name_of(backup_path) + " holds its old contents."};
  }
  const MasterCorrection& first = corrections.front();
  return Error{kFileWrite, cause + "\nThe quote of " + format_date_string(request.first_date) +
                               " was deleted, but " + file_name_of(index_path) + " still gives " +
                               format_date_string(request.first_date) + " as the " +
                               (corrections.size() > 1              ? "first and last"
                                : first.which == MasterDate::kFirst ? "first"
                                                                    : "last") +
                               " date of " + file_name_of(data_path) +
                               ". Run repair to correct it."};
}

}  // namespace

Result<void> rewrite_series(const SeriesEditRequest& request, std::string_view root,
                            std::string_view key, std::string_view master_path, int quote_count,
                            int file_number) {
  return rewrite_pass(request, root, key, master_path, quote_count, file_number);
}

Result<void> set_master_date(std::string_view master_path, const MbfReal& date_cell,
                             int file_number, MasterDate which) {
  const PortfolioLock lock({split_path(master_path).first});
  if (!lock.locked()) return Error{kFileOpen, lock.failure()};
  const auto [dir, name] = split_path(master_path);
  PortfolioTransaction transaction(dir);
  Result<void> done = stage_master_dates(transaction, name, {{which, date_cell}}, file_number);
  if (done) done = transaction.commit();
  if (!done) return Error{kFileWrite, std::move(done).error().cause};
  return {};
}

}  // namespace qdb
