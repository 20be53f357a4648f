// Export of a symbol's quotes to a delimited text file, shared by the app's Export dialog and
// the CLI's export command.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "qdb/dat.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace core {

// How the export writes its dates.
enum class ExportDateForm : int {
  kMdy2 = 0,  // MM/DD/YY, the default
  kMdy4 = 1,  // MM/DD/YYYY
  kIso = 2,   // YYYY-MM-DD
  kYmd = 3,   // YYYYMMDD
};

// The Export dialog's choices.
struct ExportOptions {
  std::string path = "output.txt";  // the file to write
  int delimiter = 0;                // 0 space, 1 comma, 2 tab; any other value: space
  bool omit_open = false;
  bool omit_high = false;
  bool omit_low = false;
  bool omit_close = false;
  bool omit_volume = false;
  bool omit_oi = false;
  bool title = false;         // write the title row first
  bool newest_first = false;  // 0 oldest quote first, 1 newest first
  ExportDateForm date_form = ExportDateForm::kMdy2;
  bool time = false;  // a TIME column (HH:MM:SS) after DATE, for a series that has times
};

// The date form of a CLI word or dialog choice ("mdy2", "mdy4", "iso", "ymd"); false if none.
bool parse_export_date_form(std::string_view word, ExportDateForm& form);

// Outcome of an export.
struct ExportResult {
  qdb::StatusCode status = qdb::kSuccess;  // the series' open status (0: it opened)
  bool written = false;                    // the output is complete (and, for a file, in place)
  std::int32_t rows = 0;                   // data rows written
};

// Line end of every exported line.
inline constexpr std::string_view kExportLineEnd = "\r\n";

// The delimiter character of a choice: ',' for 1, tab for 2, a blank otherwise.
char export_delimiter(int choice);
// The title row (without line end): the names of the written columns (TIME when
// options.time is set).
std::string export_title_row(const ExportOptions& options);
// One data row (without line end): the date in the chosen form, HH:MM:SS when options.time is
// set, "%.4f" prices, "%.2f" volume and open interest, "N/A" for a negative or not-a-number
// value.
std::string export_data_row(const qdb::QuoteBar& bar, const ExportOptions& options);

// Receives the exported text piece by piece; returns false when the piece could not be written.
using ExportSink = std::function<bool(std::string_view text)>;

// Streams the quotes of key (found from root) into sink: the title row when wanted, then one row
// (with a TIME column only when options.time is set and the series has a TIME field) per quote
// read, in windows of at most 400 quotes through one open data file; the text reaches the sink
// in pieces of about 64 KiB. Rows end at the first quote that does not read: oldest first stops
// at the end of the file, newest first at quote 0, and a read failure part-way ends the export
// silently after the rows written. When the series does not open, nothing is sent and status
// holds the reason.
// A non-zero file_number addresses the entry of root's own index files with that number (see
// qdb::find_symbol), here and below.
// root_listing, when given and of root's directory, is used instead of listing it again.
ExportResult export_quotes(std::string_view root, std::string_view key,
                           const ExportOptions& options, const ExportSink& sink,
                           int file_number = 0, const qdb::DirListing* root_listing = nullptr);

// The same through a reader that is already open.
ExportResult export_quotes(qdb::SeriesReader& reader, std::string_view key,
                           const ExportOptions& options, const ExportSink& sink);

// export_quotes into a stream; written is false when the stream failed.
ExportResult export_quotes(std::string_view root, std::string_view key,
                           const ExportOptions& options, std::ostream& out, int file_number = 0,
                           const qdb::DirListing* root_listing = nullptr);

// export_quotes into the file options.path, replacing it only once the complete text is
// written and flushed (via a temporary file beside it). written is false, and an existing file
// is left untouched, when the series does not open or a write step fails.
ExportResult export_quotes_to_file(std::string_view root, std::string_view key,
                                   const ExportOptions& options, int file_number = 0,
                                   const qdb::DirListing* root_listing = nullptr);

// True when an entry of the path exists, whatever it is (a link, dangling or not, a FIFO, an
// unreadable file), or when that can't be told (the dialog's replace question).
bool export_target_exists(const std::string& path);

}  // namespace core
