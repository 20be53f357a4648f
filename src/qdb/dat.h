// DAT data files: reading windows of quotes and finding a quote by date.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/dates.h"
#include "qdb/layout.h"
#include "qdb/master.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace qdb {

class ReadFile;
class DirListing;
struct OpenSeries;

// Upper bound of a full read (negative count).
inline constexpr int kFullReadCap = 16000;

// The most records a data file's header can count (its record count is unsigned 16-bit,
// the header record included): at most 65,534 quotes.
inline constexpr std::int32_t kMaxDataRecords = 65535;

// Fills series with up to count quotes of key beginning at quote index start (negative start:
// the newest count quotes; negative count: all quotes, capped; count 0: description only).
// Returns 0, the lookup/layout status, -2, -3 or -9. A non-zero file_number addresses the
// entry of root's own index files with that number (see find_symbol).
StatusCode read_series(QuoteSeries& series, std::string_view root, std::string_view key,
                       std::int32_t start, int count, int file_number = 0);

// Index of the quote of key dated date (and time), by halving. date_out/time_out may be null
// and receive the serial and code of the record the search ended on. Negative: a status.
std::int32_t find_quote(std::string_view root, std::string_view key, DateSerial date,
                        std::uint16_t time, DateSerial* date_out, std::uint16_t* time_out,
                        int file_number = 0);

// A symbol's data file held open for several reads: one lookup, one layout, one open. The
// grid, the split search and the export stream windows through it; read_series is built on it.
class SeriesReader {
 public:
  SeriesReader();
  ~SeriesReader();
  SeriesReader(const SeriesReader&) = delete;
  SeriesReader& operator=(const SeriesReader&) = delete;

  // Looks the key up from root (the entry with file_number when that is not 0, see
  // find_symbol), builds the layout and opens the data file.
  // Returns 0, the lookup/layout status or -2. root_listing, when given and of root's
  // directory, is used instead of listing it again.
  StatusCode open(std::string_view root, std::string_view key, int file_number = 0,
                  const DirListing* root_listing = nullptr);
  // Opens the data file of record (dates native), an entry of listing's own directory read
  // once for many symbols (PortfolioLookup), with no lookup. Returns 0, the layout status or -2.
  StatusCode open(const DirListing& listing, const MasterRecord& record);

  // Number of quotes the header claims (its record count less one; 0 when that count is 0).
  std::int32_t total() const { return m_total; }
  const MasterRecord& record() const { return m_record; }  // dates native
  const std::string& directory() const { return m_dir; }
  const SeriesLayout& layout() const { return m_layout; }
  // How the data file stores its years, from its last quote.
  DateForm date_form() const { return m_date_form; }
  // True when the layout maps a TIME column (intraday series).
  bool has_time() const { return m_layout.column[kTime] > 0; }

  // Reads as read_series does once the entry is found, without the lookup: fills the
  // description and the rows.
  StatusCode read(QuoteSeries& series, const std::string& key, std::int32_t start, int count);

  // The header's record count as stored (the header record included; unsigned 16-bit).
  std::int32_t header_records() const { return m_header_records; }
  // Reads the whole data file, header included, in one read of at most max_bytes from its start,
  // for a pass that looks at every record's bytes. file_size receives the file's size. False
  // when the file is not open or the read came up short.
  bool read_whole(std::vector<std::uint8_t>& bytes, std::uint64_t max_bytes,
                  std::uint64_t& file_size);

 private:
  // Takes what an opening found; status is the opening's.
  StatusCode take(OpenSeries& opened, StatusCode status);
  MasterRecord m_record;
  std::string m_dir;
  SeriesLayout m_layout;
  std::unique_ptr<ReadFile> m_file;
  std::int32_t m_total = 0;
  std::int32_t m_header_records = 0;  // the header's record count as read (unsigned 16-bit)
  DateForm m_date_form = DateForm::kTwoDigit;
  std::vector<std::uint8_t> m_records;      // the raw records of the last window, kept for the next
  std::optional<std::uint64_t> m_position;  // where the file stands after the last full read
};

// Decodes one data record of record_length bytes (field_count fields) into a bar with the layout,
// its date read in the file's form.
QuoteBar decode_record(const std::uint8_t* record, int record_length, int field_count,
                       const SeriesLayout& layout, DateForm form = DateForm::kTwoDigit);

// The form of a data file's dates, from the DATE cell of its last quote: the last record that
// both the header's record count and the file's size hold. A file without quotes has the two-digit
// form. Leaves the file's position anywhere.
DateForm data_file_date_form(ReadFile& file, int record_length, int date_column,
                             std::int32_t header_records);

}  // namespace qdb
