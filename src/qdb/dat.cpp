// DAT data files: reading windows of quotes into a series, and finding a quote by date.
#include "qdb/dat.h"
#include "qdb/extended_master.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

#include "qdb/bytes.h"
#include "qdb/dates.h"
#include "qdb/file_system.h"
#include "qdb/lookup_detail.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"

namespace qdb {

// A symbol's data file opened for reading, with what the lookup and the layout found.
struct OpenSeries {
  MasterRecord record;
  std::string dir;
  SeriesLayout layout;
  std::unique_ptr<ReadFile> file;
  std::int32_t header_records = 0;  // the header's record count (unsigned 16-bit)
  DateForm date_form = DateForm::kTwoDigit;
};

namespace {

constexpr int kHeaderBytes = 4;
// The halving search needs about log2(65535) probes; a bound well above that guarantees it
// ends even on a file whose quotes are not in date order.
constexpr int kMaxProbes = 64;

// Opens the data file of out.record (found in listing's directory) and builds its layout.
StatusCode open_series_entry(const DirListing& listing, OpenSeries& out) {
  StatusCode status =
      detail::read_layout_listed(listing, out.record.file_number(), out.layout,
                                 out.record.record_length(), out.record.field_count());
  if (status != kSuccess) return status;
  out.file = file_system().open_read(listing.resolve(quote_file_name(out.record.file_number())));
  if (!out.file) return kFileOpen;
  std::uint8_t header[kHeaderBytes] = {};
  // A header too short to hold the record count counts as a file without quotes. The
  // count is unsigned: files hold up
  // to 65,535 records.
  if (out.file->read(header, kHeaderBytes) == kHeaderBytes) {
    out.header_records = read_u16le(header + 2);
  }
  out.date_form = data_file_date_form(*out.file, out.record.record_length(),
                                      out.layout.column[kDate], out.header_records);
  return kSuccess;
}

StatusCode open_series(std::string_view root, std::string_view key, OpenSeries& out,
                       int file_number, const DirListing* root_listing = nullptr) {
  std::optional<DirListing> listing;
  const StatusCode status = detail::find_symbol_listed(root, key, out.record, out.dir, listing,
                                                       file_number, root_listing);
  if (status != kSuccess) return status;
  return open_series_entry(*listing, out);
}

float field_value(const std::uint8_t* record, int record_length, int column) {
  if (column <= 0 || 4 * column > record_length) return -1.0f;
  return mbf_to_float(record + 4 * (column - 1));
}

}  // namespace

DateForm data_file_date_form(ReadFile& file, int record_length, int date_column,
                             std::int32_t header_records) {
  if (record_length < 4 || date_column <= 0 || 4 * date_column > record_length)
    return DateForm::kTwoDigit;
  const auto length = static_cast<std::uint64_t>(record_length);
  const std::int64_t in_file = static_cast<std::int64_t>(file.size() / length) - 1;
  const std::int64_t quotes = std::min<std::int64_t>(header_records - 1, in_file);
  if (quotes <= 0) return DateForm::kTwoDigit;
  std::uint8_t cell[4] = {};
  const std::uint64_t at =
      length * static_cast<std::uint64_t>(quotes) + 4 * static_cast<std::uint64_t>(date_column - 1);
  if (!file.seek(at) || file.read(cell, sizeof cell) != sizeof cell) return DateForm::kTwoDigit;
  return date_form_of(mbf_to_float(cell));
}

QuoteBar decode_record(const std::uint8_t* record, int record_length, int /*field_count*/,
                       const SeriesLayout& layout, DateForm form) {
  // Every mapped column is decoded from its MBF cell; the layout never maps a column past
  // the record, and a column is taken as MBF whatever the field count claims.
  QuoteBar bar;
  const std::int16_t* column = layout.column;
  const float date = field_value(record, record_length, column[kDate]);
  bar.date =
      column[kDate] > 0 && 4 * column[kDate] <= record_length ? date_from_real(date, form) : 0;
  if (column[kTime] > 0 && 4 * column[kTime] <= record_length) {
    const float time = field_value(record, record_length, column[kTime]);
    bar.time = time_from_real(time);
    bar.seconds = time_seconds_from_real(time);
  }
  bar.open = field_value(record, record_length, column[kOpen]);
  bar.high = field_value(record, record_length, column[kHigh]);
  bar.low = field_value(record, record_length, column[kLow]);
  bar.close = field_value(record, record_length, column[kClose]);
  bar.volume = field_value(record, record_length, column[kVol]);
  bar.oi = field_value(record, record_length, column[kOi]);
  return bar;
}

SeriesReader::SeriesReader() = default;
SeriesReader::~SeriesReader() = default;

StatusCode SeriesReader::open(std::string_view root, std::string_view key, int file_number,
                              const DirListing* root_listing) {
  OpenSeries opened;
  return take(opened, open_series(root, key, opened, file_number, root_listing));
}

StatusCode SeriesReader::open(const DirListing& listing, const MasterRecord& record) {
  OpenSeries opened;
  opened.record = record;
  opened.dir = listing.dir();
  return take(opened, open_series_entry(listing, opened));
}

StatusCode SeriesReader::take(OpenSeries& opened, StatusCode status) {
  m_file.reset();
  m_position.reset();
  m_total = 0;
  m_header_records = 0;
  m_date_form = DateForm::kTwoDigit;
  m_record = opened.record;
  m_dir = std::move(opened.dir);
  m_layout = opened.layout;
  if (status != kSuccess) return status;
  m_file = std::move(opened.file);
  m_header_records = opened.header_records;
  m_date_form = opened.date_form;
  m_total = m_header_records >= 1 ? m_header_records - 1 : 0;
  return kSuccess;
}

StatusCode SeriesReader::read(QuoteSeries& series, const std::string& key, std::int32_t start,
                              int count) {
  if (!m_file) return kFileOpen;
  const bool full = count < 0;
  bool past_end = false;  // a full read starting beyond the last quote
  if (full) {
    std::int32_t all = std::min<std::int32_t>(m_total, kFullReadCap);
    if (start > 0) all -= start;
    past_end = all < 0;
    count = static_cast<int>(std::max<std::int32_t>(all, 0));
  }

  if (series.info == nullptr || series.info_size < kSeriesInfoSize) {
    delete series.info;
    series.info = nullptr;
    series.info_size = 0;
    series.info = new (std::nothrow) SeriesInfo();
    if (series.info == nullptr) {
      series_free(series);
      return kMalloc;
    }
    series.info_size = kSeriesInfoSize;
  }
  series.kind = 3;
  series.total = m_total;
  series.path = m_dir;
  series.name = key;
  series.info->master = m_record;
  for (int f = 0; f < kFieldCountAll; ++f) {
    series.info->column_map[f] = m_layout.column[f];
    series.info->display_format[f] = m_layout.display_format[f];
    series.info->input_format[f] = m_layout.input_format[f];
  }
  if (count == 0 && !full) return kSuccess;  // the description alone

  count = std::min(count, std::max<int>(series.capacity, 0));
  // A full read of nothing holds no rows: none of an earlier read may stay counted.
  if (full && count == 0 && !past_end) return series_set_count(series, 0);
  if (start < 0) start = std::max<std::int32_t>(m_total - count, 0);
  if (start >= m_total) return kRecordNotFound;  // past the last quote

  // Whole window in one read, then decoded row by row; a file shorter than its header
  // claims ends the window early and only the rows read are counted.
  const int length = m_record.record_length();
  const auto rows = static_cast<std::size_t>(std::min<std::int32_t>(count, m_total - start));
  const auto record_bytes = static_cast<std::size_t>(length);
  std::size_t got_rows = 0;
  const std::uint64_t offset =
      static_cast<std::uint64_t>(length) * static_cast<std::uint64_t>(start + 1);
  // A window that follows the last one needs no seek.
  const bool positioned = m_position == offset || m_file->seek(offset);
  m_position.reset();
  if (positioned) {
    m_records.resize(rows * record_bytes);
    const std::size_t got = m_file->read(m_records.data(), m_records.size());
    if (got == m_records.size()) m_position = offset + got;
    got_rows = got / record_bytes;
    for (std::size_t row = 0; row < got_rows; ++row) {
      series.set_bar(static_cast<int>(row),
                     decode_record(m_records.data() + row * record_bytes, length,
                                   m_record.field_count(), m_layout, m_date_form));
    }
  }
  return series_set_count(series, static_cast<int>(got_rows));
}

bool SeriesReader::read_whole(std::vector<std::uint8_t>& bytes, std::uint64_t max_bytes,
                              std::uint64_t& file_size) {
  bytes.clear();
  file_size = 0;
  if (!m_file) return false;
  file_size = m_file->size();
  m_position.reset();
  if (!m_file->seek(0)) return false;
  bytes.resize(static_cast<std::size_t>(std::min(file_size, max_bytes)));
  return m_file->read(bytes.data(), bytes.size()) == bytes.size();
}

StatusCode read_series(QuoteSeries& series, std::string_view root, std::string_view key,
                       std::int32_t start, int count, int file_number) {
  SeriesReader reader;
  const StatusCode status = reader.open(root, key, file_number);
  if (status != kSuccess) return status;
  return reader.read(series, std::string(key), start, count);
}

std::int32_t find_quote(std::string_view root, std::string_view key, DateSerial date,
                        std::uint16_t time, DateSerial* date_out, std::uint16_t* time_out,
                        int file_number) {
  OpenSeries opened;
  const StatusCode open_status = open_series(root, key, opened, file_number);
  if (open_status != kSuccess) return open_status;

  const int length = opened.record.record_length();
  const bool has_time = opened.layout.column[kTime] > 0;
  const std::uint16_t target_time = has_time ? time : 0;
  // Quotes the file really holds: the header's claim, cut to the file's size.
  const auto in_file =
      static_cast<std::int64_t>(opened.file->size() / static_cast<std::uint64_t>(length));
  const std::int32_t records =
      static_cast<std::int32_t>(std::min<std::int64_t>(opened.header_records, in_file));

  auto later = [&](DateSerial d, std::uint16_t t) {
    return d > date || (d == date && t > target_time);
  };
  auto earlier = [&](DateSerial d, std::uint16_t t) {
    return d < date || (d == date && t < target_time);
  };

  std::int32_t lo = 0;
  std::int32_t hi = records - 2;
  std::int32_t prev = 0;
  std::int32_t result = 0;
  StatusCode status = kSuccess;
  bool have_current = false;
  DateSerial current_date = 0;
  std::uint16_t current_time = 0;
  std::vector<std::uint8_t> record(static_cast<std::size_t>(length));

  if (hi < 0) {
    status = kFileRead;  // no quote to seek to
  } else {
    for (int probe = 0;; ++probe) {
      if (probe >= kMaxProbes) {
        status = kFileRead;
        break;
      }
      std::int32_t mid = (lo + hi + 1) / 2;
      if (mid == prev) {
        if (lo != 0) {
          result = mid;  // the record read last stays the current one
          break;
        }
        mid = 0;
      }
      if (!opened.file->seek(static_cast<std::uint64_t>(length) *
                             static_cast<std::uint64_t>(mid + 1)) ||
          opened.file->read(record.data(), record.size()) != record.size()) {
        status = kFileRead;
        break;
      }
      const QuoteBar bar = decode_record(record.data(), length, opened.record.field_count(),
                                         opened.layout, opened.date_form);
      have_current = true;
      current_date = bar.date;
      current_time = has_time ? bar.time : 0;
      if ((current_date == date && current_time == target_time) || mid == 0) {
        result = mid;
        break;
      }
      if (later(current_date, current_time)) {
        hi = mid;
      } else if (earlier(current_date, current_time)) {
        lo = mid;
      }
      prev = mid;
    }
  }

  if (status == kSuccess && have_current && earlier(current_date, current_time)) {
    status = kRecordNotFound;
  }
  if (have_current) {
    if (date_out) *date_out = current_date;
    if (time_out) *time_out = current_time;
  }
  return status != kSuccess ? status : result;
}

}  // namespace qdb
