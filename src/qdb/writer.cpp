// Creating portfolios, MASTER entries, data files and DOP files.
#include "qdb/writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"

namespace qdb {
namespace {

constexpr const char* kFieldKeywords[kFieldCountAll] = {"DATE", "TIME",  "OPEN", "HIGH",
                                                        "LOW",  "CLOSE", "VOL",  "OI"};

// The content of a whole file read through the seam, or nullopt when it can't be read.
std::optional<std::vector<std::uint8_t>> read_whole_file(const std::string& path) {
  std::unique_ptr<ReadFile> file = file_system().open_read(path);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->size()));
  if (!bytes.empty() && file->read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

// The highest column the layout maps, or -1 when a column lies outside record_length.
int highest_column(const SeriesLayout& layout, int record_length) {
  int highest = 0;
  for (int field = 0; field < kFieldCountAll; ++field) {
    const int column = layout.column[field];
    if (column < 0 || column > record_length / 4) return -1;
    highest = std::max(highest, column);
  }
  return highest;
}

}  // namespace

bool create_portfolio(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(dir), ec);
  if (ec) return false;
  const std::string folder = normalize_dir(dir);
  const DirListing listing(folder);
  if (has_master(listing)) return true;
  const std::string master = master_path(listing);
  const MasterHeader header;
  return replace_file(
             master, master + std::string(suffix::kNew),
             [&](WriteFile& out) { return out.write(header.bytes.data(), header.bytes.size()); })
      .ok();
}

MasterRecord make_master_record(int file_number, std::string_view symbol,
                                std::string_view issue_name, int record_length, int field_count,
                                DateSerial first_date, DateSerial last_date) {
  MasterRecord record;
  record.bytes[master_offset::kFileNumber] = static_cast<std::uint8_t>(file_number);
  record.bytes[master_offset::kRecordLength] = static_cast<std::uint8_t>(record_length);
  record.bytes[master_offset::kFieldCount] = static_cast<std::uint8_t>(field_count);
  record.set_issue_name(issue_name);
  record.set_symbol(symbol);
  if (first_date != 0) {
    const MbfReal cell = date_to_mbf(first_date);
    std::memcpy(record.bytes.data() + master_offset::kFirstDate, cell.bytes, 4);
  }
  if (last_date != 0) {
    const MbfReal cell = date_to_mbf(last_date);
    std::memcpy(record.bytes.data() + master_offset::kLastDate, cell.bytes, 4);
  }
  record.bytes[master_offset::kPeriodicity] = 'D';
  return record;
}

MasterRecord make_directory_record(std::string_view subdir_name) {
  MasterRecord record;
  // Bytes 7 to 17: the name, blank-padded; bytes 18 to 22: "<DIR>".
  std::memset(record.bytes.data() + master_offset::kIssueName, ' ', 11);
  const std::size_t length = std::min<std::size_t>(subdir_name.size(), 8);
  std::memcpy(record.bytes.data() + master_offset::kIssueName, subdir_name.data(), length);
  std::memcpy(record.bytes.data() + 18, "<DIR>", 5);
  return record;
}

bool append_master_record(const std::string& dir, const MasterRecord& record) {
  const DirListing listing(normalize_dir(dir));
  const std::string master = master_path(listing);
  std::vector<std::uint8_t> old;
  if (has_master(listing)) {
    auto content = read_whole_file(master);
    if (!content) return false;
    old = std::move(*content);
  }
  MasterHeader header;
  if (!old.empty()) {
    if (old.size() < kMasterRecordSize) return false;
    std::memcpy(header.bytes.data(), old.data(), kMasterRecordSize);
  }
  const std::size_t entries = header.count();
  if (entries >= kMaxSymbols || header.count2() >= kMaxSymbols) return false;
  // The new entry goes right after the counted ones; a MASTER holding fewer is damaged and
  // is left for the repair to deal with.
  const std::size_t insert_at = kMasterRecordSize * (entries + 1);
  if (!old.empty() && old.size() < insert_at) return false;
  header.set_count(static_cast<std::uint16_t>(entries + 1));
  header.set_count2(static_cast<std::uint16_t>(header.count2() + 1));

  return replace_file(master, listing.resolve(std::string(kMasterName) + std::string(suffix::kNew)),
                      [&](WriteFile& out) {
                        if (!out.write(header.bytes.data(), header.bytes.size())) return false;
                        if (entries > 0 && !out.write(old.data() + kMasterRecordSize,
                                                      insert_at - kMasterRecordSize)) {
                          return false;
                        }
                        if (!out.write(record.bytes.data(), record.bytes.size())) return false;
                        // Slots past the counted entries stay after the new one, unchanged.
                        if (old.size() > insert_at &&
                            !out.write(old.data() + insert_at, old.size() - insert_at)) {
                          return false;
                        }
                        return true;
                      })
      .ok();
}

SeriesLayout default_layout(int record_length) {
  SeriesLayout layout;
  auto set = [&](std::initializer_list<Field> fields) {
    std::int16_t column = 1;
    for (Field field : fields) layout.column[field] = column++;
  };
  switch (record_length) {
    case 12:
      set({kDate, kClose, kVol});
      break;
    case 16:
      set({kDate, kHigh, kLow, kClose});
      break;
    case 18:
      set({kDate, kClose});
      break;
    case 20:
      set({kDate, kOpen, kHigh, kLow, kClose});
      break;
    case 24:
      set({kDate, kOpen, kHigh, kLow, kClose, kVol});
      break;
    case 28:
      set({kDate, kOpen, kHigh, kLow, kClose, kVol, kOi});
      break;
    default:
      break;
  }
  return layout;
}

bool write_data_file(const std::string& dir, int file_number, const std::vector<QuoteBar>& bars,
                     const SeriesLayout& layout, int record_length) {
  return write_data_file(dir, file_number, bars, layout, record_length, DateForm::kLong);
}

bool write_data_file(const std::string& dir, int file_number, const std::vector<QuoteBar>& bars,
                     const SeriesLayout& layout, int record_length, DateForm form) {
  if (record_length < 4 || record_length > 127) return false;
  if (highest_column(layout, record_length) < 0) return false;
  // The header counts the records, itself included, in 16 unsigned bits.
  if (bars.size() + 1 > static_cast<std::size_t>(kMaxDataRecords)) return false;
  const auto length = static_cast<std::size_t>(record_length);
  const DirListing listing(normalize_dir(dir));
  const std::string target = listing.resolve(data_file_name(file_number, "DAT"));
  const std::string temp = listing.resolve(data_file_name(file_number, suffix::kNewExtension));
  return replace_file(target, temp,
                      [&](WriteFile& out) {
                        std::vector<std::uint8_t> record(length, 0);
                        write_u16le(record.data() + 2, static_cast<std::uint16_t>(bars.size() + 1));
                        if (!out.write(record.data(), record.size())) return false;
                        for (const QuoteBar& bar : bars) {
                          std::fill(record.begin(), record.end(), 0);
                          const float values[kFieldCountAll] = {
                              0, 0, bar.open, bar.high, bar.low, bar.close, bar.volume, bar.oi};
                          for (int field = 0; field < kFieldCountAll; ++field) {
                            const int column = layout.column[field];
                            if (column == 0) continue;
                            std::uint8_t* cell = record.data() + 4 * (column - 1);
                            if (field == kDate) {
                              float_to_mbf(date_to_real(bar.date, form), cell);
                            } else if (field == kTime) {
                              float_to_mbf(seconds_to_time_real(bar_seconds(bar)), cell);
                            } else {
                              float_to_mbf(values[field], cell);
                            }
                          }
                          if (!out.write(record.data(), record.size())) return false;
                        }
                        return true;
                      })
      .ok();
}

bool write_dop_file(const std::string& dir, int file_number, const SeriesLayout& layout) {
  const int highest = highest_column(layout, 4 * 127);
  if (highest < 0) return false;
  // A DOP numbers columns by the order of its lines, so it can describe only layouts whose
  // columns 1 to the highest each hold exactly one field.
  std::string text;
  for (int column = 1; column <= highest; ++column) {
    int holder = -1;
    for (int field = 0; field < kFieldCountAll; ++field) {
      if (layout.column[field] != column) continue;
      if (holder >= 0) return false;
      holder = field;
    }
    if (holder < 0) return false;
    text += '"';
    text += kFieldKeywords[holder];
    text += "\",";
    text += std::to_string(layout.input_format[holder]);
    text += ',';
    text += std::to_string(layout.display_format[holder]);
    text += "\r\n";
  }
  const DirListing listing(normalize_dir(dir));
  const std::string target = listing.resolve(data_file_name(file_number, "DOP"));
  return replace_file(
             target, target + std::string(suffix::kNew),
             [&](WriteFile& out) { return text.empty() || out.write(text.data(), text.size()); })
      .ok();
}

}  // namespace qdb
