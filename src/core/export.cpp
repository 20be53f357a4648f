#include "core/export.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

#include "core/fixed_text.h"
#include "core/quote_windows.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"

namespace core {

namespace {

// Writes value with the given number of decimals, exactly as printf's "%.<decimals>f" writes
// it; "N/A" for a negative value (a field the layout lacks) or not a number.
char* write_number(char* out, float value, int decimals) {
  if (!(value >= 0.0f)) {
    constexpr std::string_view kNotAvailable = "N/A";
    return std::copy(kNotAvailable.begin(), kNotAvailable.end(), out);
  }
  return write_fixed(out, value, decimals);
}

// The six value columns in their fixed order, with their titles, formats and omit flags.
struct ValueColumn {
  const char* title;
  int decimals;
  float qdb::QuoteBar::*value;
  bool ExportOptions::*omit;
};

constexpr ValueColumn kValueColumns[] = {
    {"OPEN", 4, &qdb::QuoteBar::open, &ExportOptions::omit_open},
    {"HIGH", 4, &qdb::QuoteBar::high, &ExportOptions::omit_high},
    {"LOW", 4, &qdb::QuoteBar::low, &ExportOptions::omit_low},
    {"CLOSE", 4, &qdb::QuoteBar::close, &ExportOptions::omit_close},
    {"VOL", 2, &qdb::QuoteBar::volume, &ExportOptions::omit_volume},
    {"OI", 2, &qdb::QuoteBar::oi, &ExportOptions::omit_oi},
};

// format_date's format and separator of each export date form.
struct DateFormat {
  qdb::DateFormat format;
  char separator;
};

DateFormat date_format_of(ExportDateForm form) {
  switch (form) {
    case ExportDateForm::kMdy4:
      return {qdb::DateFormat::kMmDdYyyy, '/'};
    case ExportDateForm::kIso:
      return {qdb::DateFormat::kYyyyMmDd, '-'};
    case ExportDateForm::kYmd:
      return {qdb::DateFormat::kYyyyMmDdDigits, '/'};
    default:
      return {qdb::DateFormat::kMmDdYy, '/'};
  }
}

// Longest data row with its line end: a date, a time, six numbers and their delimiters.
constexpr std::size_t kRowMax = 16 + 1 + 8 + 6 * (1 + kFixedTextMax) + kExportLineEnd.size();

// Writes one data row (without line end) at out, which has room for kRowMax characters, and
// answers its end.
char* write_data_row(char* out, const qdb::QuoteBar& bar, const ExportOptions& options,
                     char delimiter) {
  const DateFormat date = date_format_of(options.date_form);
  out += qdb::format_date_to(out, bar.date, date.format, date.separator);
  if (options.time) {
    *out++ = delimiter;
    out += qdb::format_seconds_to(out, qdb::bar_seconds(bar));
  }
  for (const ValueColumn& column : kValueColumns) {
    if (options.*column.omit) continue;
    *out++ = delimiter;
    out = write_number(out, bar.*column.value, column.decimals);
  }
  return out;
}

// The exported text, handed to the sink in pieces of about kPiece bytes: few, large writes.
class ExportText {
 public:
  static constexpr std::size_t kPiece = 64 * 1024;

  // The buffer is left uninitialised: a short export touches only the pages it writes.
  explicit ExportText(const ExportSink& sink)
      : m_sink(sink), m_text(std::make_unique_for_overwrite<char[]>(kPiece + kRowMax)) {}

  // Room for one row of at most kRowMax characters; the row is kept by done(end).
  char* room() { return m_text.get() + m_used; }
  void done(const char* end) {
    m_used = static_cast<std::size_t>(end - m_text.get());
    if (m_used >= kPiece) flush();
  }
  void append(std::string_view text) {
    for (const char c : text) {
      m_text[m_used++] = c;
      if (m_used >= kPiece) flush();
    }
  }
  // Hands what is held to the sink; false once any piece could not be written.
  bool flush() {
    if (m_used > 0 && m_ok) m_ok = m_sink(std::string_view(m_text.get(), m_used));
    m_used = 0;
    return m_ok;
  }
  bool ok() const { return m_ok; }

 private:
  const ExportSink& m_sink;
  std::unique_ptr<char[]> m_text;
  std::size_t m_used = 0;
  bool m_ok = true;
};

}  // namespace

char export_delimiter(int choice) {
  switch (choice) {
    case 1:
      return ',';
    case 2:
      return '\t';
    default:
      return ' ';
  }
}

bool parse_export_date_form(std::string_view word, ExportDateForm& form) {
  constexpr std::pair<std::string_view, ExportDateForm> kWords[] = {{"mdy2", ExportDateForm::kMdy2},
                                                                    {"mdy4", ExportDateForm::kMdy4},
                                                                    {"iso", ExportDateForm::kIso},
                                                                    {"ymd", ExportDateForm::kYmd}};
  for (const auto& [name, value] : kWords) {
    if (word == name) {
      form = value;
      return true;
    }
  }
  return false;
}

std::string export_title_row(const ExportOptions& options) {
  const char delimiter = export_delimiter(options.delimiter);
  std::string line = "DATE";
  if (options.time) {
    line += delimiter;
    line += "TIME";
  }
  for (const ValueColumn& column : kValueColumns) {
    if (options.*column.omit) continue;
    line += delimiter;
    line += column.title;
  }
  return line;
}

std::string export_data_row(const qdb::QuoteBar& bar, const ExportOptions& options) {
  char row[kRowMax];
  return std::string(row, write_data_row(row, bar, options, export_delimiter(options.delimiter)));
}

ExportResult export_quotes(qdb::SeriesReader& reader, std::string_view key,
                           const ExportOptions& chosen, const ExportSink& sink) {
  ExportResult result;
  // A series without times has no TIME column to write.
  ExportOptions options = chosen;
  options.time = chosen.time && reader.has_time();
  qdb::QuoteSeries series;
  if (qdb::series_alloc(series, kQuoteWindow) != qdb::kSuccess) {
    result.status = qdb::kMalloc;
    return result;
  }

  const std::string key_text(key);
  const char delimiter = export_delimiter(options.delimiter);
  ExportText text(sink);
  if (options.title) {
    text.append(export_title_row(options));
    text.append(kExportLineEnd);
  }

  const std::int32_t total = reader.total();
  auto append_row = [&](int row) {
    char* end = write_data_row(text.room(), series.bar(row), options, delimiter);
    text.done(std::copy(kExportLineEnd.begin(), kExportLineEnd.end(), end));
    ++result.rows;
  };

  if (!options.newest_first) {
    // Forwards from quote 0. A window that reads short reached the end of what the file holds.
    std::int32_t next = 0;
    while (next < total && text.ok()) {
      const int want = static_cast<int>(std::min<std::int32_t>(kQuoteWindow, total - next));
      if (reader.read(series, key_text, next, want) != qdb::kSuccess) break;
      const int got = std::min<int>(series.count, want);
      for (int row = 0; row < got; ++row) append_row(row);
      if (got < want) break;
      next += got;
    }
  } else {
    // Backwards from the newest quote down to quote 0. Quote by quote, the export would stop at
    // the first quote that does not read; in a window that reads short the missing quotes are
    // the newest ones, so nothing of that window is written and the export ends.
    std::int32_t last = total - 1;  // newest quote not yet written
    while (last >= 0 && text.ok()) {
      const int want = static_cast<int>(std::min<std::int32_t>(kQuoteWindow, last + 1));
      const std::int32_t start = last - want + 1;
      if (reader.read(series, key_text, start, want) != qdb::kSuccess) break;
      if (series.count < want) break;
      for (int row = want - 1; row >= 0; --row) append_row(row);
      last = start - 1;
    }
  }
  result.written = text.flush();
  if (!result.written) result.rows = 0;
  return result;
}

ExportResult export_quotes(std::string_view root, std::string_view key,
                           const ExportOptions& options, const ExportSink& sink, int file_number,
                           const qdb::DirListing* root_listing) {
  qdb::SeriesReader reader;
  const qdb::StatusCode status = reader.open(root, key, file_number, root_listing);
  if (status != qdb::kSuccess) {
    ExportResult result;
    result.status = status;
    return result;
  }
  return export_quotes(reader, key, options, sink);
}

ExportResult export_quotes(std::string_view root, std::string_view key,
                           const ExportOptions& options, std::ostream& out, int file_number,
                           const qdb::DirListing* root_listing) {
  ExportResult result = export_quotes(
      root, key, options,
      [&out](std::string_view text) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        return static_cast<bool>(out);
      },
      file_number, root_listing);
  if (result.status == qdb::kSuccess) {
    out.flush();
    result.written = result.written && static_cast<bool>(out);
  }
  return result;
}

ExportResult export_quotes_to_file(std::string_view root, std::string_view key,
                                   const ExportOptions& options, int file_number,
                                   const qdb::DirListing* root_listing) {
  ExportResult result;
  // The series opens before the target is touched, so a failed lookup leaves no file behind.
  qdb::SeriesReader reader;
  result.status = reader.open(root, key, file_number, root_listing);
  if (result.status != qdb::kSuccess) return result;
  // The new text is synced before it takes the name even when no file had that name, though
  // nothing could then be lost by skipping the sync: a user who exports a symbol and then
  // deletes it (a synced rewrite) must not find, after a power cut, the deletion on the disk
  // and an empty or short export in its place.
  const bool replaced =
      qdb::replace_file(options.path, options.path + ".tmp~", [&](qdb::WriteFile& file) {
        result = export_quotes(reader, key, options, [&file](std::string_view text) {
          return file.write(text.data(), text.size());
        });
        return result.written;
      }).ok();
  result.written = replaced;
  if (!replaced) result.rows = 0;
  return result;
}

bool export_target_exists(const std::string& path) {
  // The entry itself, never followed nor opened: a FIFO, a dangling link or a file the user may
  // not read exists as much as any other. A name that can't be looked at (a directory on the way
  // that does not open) may exist too.
  errno = 0;
  if (qdb::file_system().identity(path)) return true;
  return errno != ENOENT && errno != ENOTDIR;
}

}  // namespace core
