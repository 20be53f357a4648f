// The read-modify-write pass over a symbol's data file, and the MASTER date correction.
//
// Both passes build the complete new file beside the old one and rename it into place in one
// step (replace_file), so a failure at any point leaves the old file as it was. Cells that a
// pass does not change are copied with their stored bytes, never decoded and encoded again.
#include "qdb/rewrite.h"

#include <algorithm>
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
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/lookup_detail.h"
#include "qdb/master.h"
#include "qdb/notifier.h"
#include "qdb/portfolio_files.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace qdb {
namespace {

constexpr const char* kDeleteNotFoundMessage = "failure in delete quote for findrec";

// Why a pass stopped before its new file was complete.
enum class PassOutcome { kDone, kWriteFailed, kReadFailed, kNoRecordOfDate };

// A correction of one MASTER date, worked out while the old data file is still intact.
struct MasterCorrection {
  MasterDate which;
  DateSerial date;
};

// The date serial of quote index of key, or nullopt when it cannot be read.
std::optional<DateSerial> quote_date(std::string_view root, std::string_view key,
                                     std::int32_t index) {
  QuoteSeries series;
  if (series_alloc(series, 1) != kSuccess) return std::nullopt;
  std::optional<DateSerial> date;
  if (read_series(series, root, key, index, 1) == kSuccess && series.count == 1) {
    date = series.date(0);
  }
  series_free(series);
  return date;
}

// The MASTER dates that deleting quote k of n quotes changes (none for a middle quote).
std::vector<MasterCorrection> corrections_for_delete(std::string_view root, std::string_view key,
                                                     std::int32_t k, int n) {
  std::vector<MasterCorrection> corrections;
  if (k == 0 && n > 1) {
    if (auto date = quote_date(root, key, 1)) corrections.push_back({MasterDate::kFirst, *date});
  } else if (k == n - 1 && n > 1) {
    if (auto date = quote_date(root, key, n - 2)) corrections.push_back({MasterDate::kLast, *date});
  } else if (k == 0 && n == 1) {
    if (auto date = quote_date(root, key, 0)) {
      corrections.push_back({MasterDate::kLast, *date});
      corrections.push_back({MasterDate::kFirst, *date});
    }
  }
  return corrections;
}

// The nearest Monday-to-Friday day before serial that a file of the given form can store, or
// 0 when there is none: a two-digit file reads stored years below 60 as 2000 on, so it holds
// no date before 1960.
DateSerial previous_weekday(DateSerial serial, DateForm form) {
  DateSerial day = serial - 1;
  while (day >= 1 && is_weekend(day)) --day;
  const DateSerial first = form == DateForm::kTwoDigit ? date_serial(1960, 1, 1) : 1;
  return day >= first ? day : 0;
}

// Everything one data-file pass needs about the records it rewrites.
struct RecordShape {
  int length = 0;      // L, bytes per record, header included
  int cells = 0;       // whole 4-byte columns inside the record
  int column[8] = {};  // 1-based column of each field, 0 when absent or outside the record
};

std::uint8_t* cell_of(std::vector<std::uint8_t>& record, int column) {
  return record.data() + 4 * (column - 1);
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
  bool deleted = false;
  bool inserted = false;
  while (remaining >= length) {
    if (source.read(record.data(), length) != length) return PassOutcome::kReadFailed;
    remaining -= length;
    const DateSerial date =
        date_from_real(mbf_to_float(cell_of(record, shape.column[kDate])), form);
    const bool in_range = request.first_date <= date && date <= request.last_date;
    bool keep = true;
    switch (request.op) {
      case kOpSet:
      case kOpScale2:
      case kOpScale:
        if (in_range) change_values(request, shape, record);
        break;
      case kOpDelete:
        if (in_range && !deleted) {
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
std::optional<RecordShape> record_shape(const MasterRecord& record, const SeriesLayout& layout) {
  RecordShape shape;
  shape.length = record.record_length();
  if (shape.length < 4) return std::nullopt;
  shape.cells = shape.length / 4;
  for (int field = 0; field < kFieldCountAll; ++field) {
    const int column = layout.column[field];
    shape.column[field] = (column >= 1 && column <= shape.cells) ? column : 0;
  }
  if (shape.column[kDate] == 0) return std::nullopt;
  return shape;
}

}  // namespace

std::int32_t rewrite_series(const SeriesEditRequest& request, std::string_view root,
                            std::string_view key, std::string_view master_path, int quote_count) {
  MasterRecord entry;
  std::string dir;
  std::optional<DirListing> found_listing;
  const StatusCode found = detail::find_symbol_listed(root, key, entry, dir, found_listing);
  if (found != kSuccess) return found;
  const int file_number = entry.file_number();
  DirListing listing = found_listing ? std::move(*found_listing) : DirListing(dir);

  SeriesLayout layout;
  const StatusCode laid_out = detail::read_layout_listed(
      listing, file_number, layout, entry.record_length(), entry.field_count());
  if (laid_out != kSuccess) return laid_out;
  const std::optional<RecordShape> shape = record_shape(entry, layout);
  if (!shape) return kLayoutUnknown;

  const std::string data_path = listing.resolve(data_file_name(file_number, "DAT"));
  const std::string backup_path = listing.resolve(data_file_name(file_number, "BAK"));
  const std::string new_path = listing.resolve(data_file_name(file_number, "NEW"));
  FileSystem& files = file_system();
  // The data file must open before anything is touched.
  if (!files.open_read(data_path)) return kFileOpen;

  // The backup comes first: when it cannot be written the disk is in no state for a rewrite.
  if (!copy_file(data_path, backup_path)) return kFileWrite;

  std::vector<MasterCorrection> corrections;
  if (request.op == kOpDelete) {
    DateSerial date_out = 0;
    const std::int32_t index = find_quote(root, key, request.first_date, 0, &date_out, nullptr);
    if (index < 0 || date_out != request.first_date) {
      notify(kDeleteNotFoundMessage);
      return kDeleteNotFound;
    }
    // Read while the old data file is intact; written once the new data file is in place.
    corrections = corrections_for_delete(root, key, index, quote_count);
  }

  std::unique_ptr<ReadFile> source = files.open_read(data_path);
  if (!source) return kFileOpen;
  const std::uint64_t size = source->size();
  const auto length = static_cast<std::size_t>(shape->length);
  std::vector<std::uint8_t> header(length);
  if (size < length || source->read(header.data(), length) != length) return kFileRead;

  int count = read_i16le(header.data() + 2);
  // Dates are read in the form the file's last quote shows; the read goes back to the first
  // quote afterwards.
  const DateForm form = data_file_date_form(*source, shape->length, shape->column[kDate], count);
  if (!source->seek(length)) return kFileRead;
  if (request.op == kOpDelete) --count;
  if (request.op == kOpInsert) ++count;
  if (count > INT16_MAX || count < INT16_MIN) return kFileWrite;  // no room in the 16-bit count
  write_u16le(header.data() + 2, static_cast<std::uint16_t>(static_cast<std::int16_t>(count)));

  PassOutcome outcome = PassOutcome::kDone;
  const bool replaced = replace_file(data_path, new_path, [&](WriteFile& out) {
    if (!out.write(header.data(), header.size())) {
      outcome = PassOutcome::kWriteFailed;
    } else {
      outcome = rewrite_records(request, *shape, form, *source, size - length, out);
    }
    // The old file is closed before the new one is renamed over it.
    source.reset();
    return outcome == PassOutcome::kDone;
  });
  if (!replaced) {
    switch (outcome) {
      case PassOutcome::kReadFailed:
        return kFileRead;
      case PassOutcome::kNoRecordOfDate:
        if (request.op == kOpDelete) {
          notify(kDeleteNotFoundMessage);
          return kDeleteNotFound;
        }
        return kRecordNotFound;
      default:
        return kFileWrite;
    }
  }

  // A failed date correction leaves the MASTER as it was; the quotes have changed either way.
  for (const MasterCorrection& correction : corrections) {
    set_master_date(master_path, date_to_mbf(correction.date), file_number, correction.which);
  }
  return kSuccess;
}

int set_master_date(std::string_view master_path, const MbfReal& date_cell, int file_number,
                    MasterDate which) {
  const auto [dir, name] = split_path(master_path);
  if (name.empty()) return 1;
  const DirListing listing(dir);
  const std::string master = listing.resolve(name);
  const std::string backup = listing.resolve(name + ".BAK");
  const std::string fresh = listing.resolve(name + ".NEW");

  FileSystem& files = file_system();
  std::unique_ptr<ReadFile> source = files.open_read(master);
  if (!source) return 1;
  const std::uint64_t size = source->size();
  if (!copy_file(master, backup)) return 1;

  const int offset =
      which == MasterDate::kLast ? master_offset::kLastDate : master_offset::kFirstDate;
  const bool replaced = replace_file(master, fresh, [&](WriteFile& out) {
    MasterRecord record;
    std::uint64_t remaining = size;
    bool header = true;
    bool ok = true;
    while (ok && remaining > 0) {
      const std::size_t want =
          remaining >= kMasterRecordSize ? kMasterRecordSize : static_cast<std::size_t>(remaining);
      if (source->read(record.bytes.data(), want) != want) {
        ok = false;
        break;
      }
      remaining -= want;
      if (!header && want == kMasterRecordSize && record.file_number() == file_number &&
          !record.is_directory()) {
        std::memcpy(record.bytes.data() + offset, date_cell.bytes, 4);
      }
      header = false;
      ok = out.write(record.bytes.data(), want);
    }
    source.reset();
    return ok;
  });
  return replaced ? 0 : 1;
}

}  // namespace qdb
