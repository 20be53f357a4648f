// Import of delimited price text into portfolios, shared by the command line and the app's
// import dialog. Three steps, so a caller can show each before the next:
//
//   1. parse_import reads every input file whole and answers what it found (per file the
//      delimiter, decimal separator, date form and column roles; per symbol the bars, sorted)
//      or the first line that can't be read, by file, line and column. Nothing is written.
//   2. plan_import compares the bars with the portfolio: per symbol the portfolio and file
//      number it goes to and the days added, replaced and kept. Data the files can't hold is
//      refused here. Nothing is written.
//   3. write_import plans again under the portfolio locks and writes every file of each
//      portfolio as one qdb::PortfolioTransaction; a failure leaves that portfolio as it was.
//
// preview_import answers the detection and the first lines' cells for a preview grid.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/dates.h"

namespace core {

// The role of an input column.
enum class ImportColumn : std::uint8_t {
  kSkip,
  kDate,
  kTime,
  kOpen,
  kHigh,
  kLow,
  kClose,
  kVolume,
  kOi,
  kTicker,
  kName,
  kPer,
};
// "date", "time", "open", "high", "low", "close", "volume" (or "vol"), "oi" (or "openint"),
// "ticker" (or "symbol"), "name", "per", "skip"; false for another word.
bool parse_import_column(std::string_view word, ImportColumn& column);
// The word of a role ("date", ..., "skip").
const char* import_column_word(ImportColumn column);

// The date forms the import reads. Two-digit years 00 to 59 are 2000 to 2059, 60 to 99 are
// 1960 to 1999, as everywhere in the program.
enum class ImportDateForm : std::uint8_t {
  kDetect,  // decided from the whole column
  kIso,     // YYYY-MM-DD
  kYmd,     // YYYYMMDD
  kMdy4,    // MM/DD/YYYY
  kDmy4,    // DD/MM/YYYY
  kDot,     // DD.MM.YYYY
  kMon,     // DD-Mon-YYYY (Jan, Feb, ... in any case)
  kMdy2,    // MM/DD/YY
  kDmy2,    // DD/MM/YY
  kYymmdd,  // YYMMDD
};
// "iso", "ymd", "mdy4", "dmy4", "dot", "mon", "mdy2", "dmy2", "yymmdd"; false for another word.
bool parse_import_date_form(std::string_view word, ImportDateForm& form);
const char* import_date_form_word(ImportDateForm form);

struct ImportOptions {
  // The roles of the columns in order, for text without a header row (a header row, when the
  // text has one, is skipped). Empty: the header row names them.
  std::vector<ImportColumn> columns;
  char delimiter = 0;  // ',', ';', '\t' or ' ' (runs of blanks); 0: detected from the first lines
  char decimal = 0;    // '.' or ','; 0: a comma when the delimiter is not one and cells use it
  ImportDateForm date_form = ImportDateForm::kDetect;
  std::string symbol;      // the symbol of a file without a TICKER column; empty: the file's stem
  std::string name;        // its issue name; empty: the NAME column, else the symbol
  bool replace = false;    // an input day whose date (and time) the file holds replaces it
  bool by_letter = false;  // new symbols go to the sub-portfolio named by their first letter
};

// Progress and cancel for long imports: progress (when set) gets the bytes parsed of a file,
// or the portfolios written of those to write, now and then; a cancel flag set to true stops
// the parse at its next check (nothing is written), or the write before its next portfolio
// (the portfolios already written stay written; with one portfolio, nothing is).
struct ImportControl {
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
  const std::atomic<bool>* cancel = nullptr;
};

// Why an import can't go on. line and column are 1-based, 0 when the error concerns a whole
// file or symbol. text() gives "FILE:LINE:COLUMN: message" (the parts present).
struct ImportError {
  std::string file;
  std::uint32_t line = 0;
  std::uint32_t column = 0;
  std::string message;
  std::string text() const;
};

// What was detected in one input file.
struct ImportFileInfo {
  std::string path;
  char delimiter = ',';
  char decimal = '.';
  ImportDateForm date_form = ImportDateForm::kIso;
  bool header = false;                // the first line named the columns
  std::vector<ImportColumn> columns;  // the role of each column
  std::uint32_t rows = 0;             // data lines read
};

// One input day (or bar). values: open, high, low, close, volume, open interest; -1 for a
// cell that is empty or "N/A" (what the export writes for a value it lacks).
struct ImportBar {
  qdb::DateSerial date = 0;
  std::int32_t seconds = 0;  // since midnight; 0 without a TIME column
  float values[6] = {};
  std::uint32_t line = 0;  // in its file
  std::uint32_t file = 0;  // index in ImportData::files
};

// Which of open, high, low, close, volume and open interest an input gives.
enum ImportValueBit : std::uint8_t {
  kImportOpen = 1,
  kImportHigh = 2,
  kImportLow = 4,
  kImportClose = 8,
  kImportVolume = 16,
  kImportOi = 32,
};

struct ImportSymbol {
  std::string symbol;
  std::string name;
  char periodicity = 'D';  // from a PER column, else 'I' with times and 'D' without
  bool has_time = false;
  std::uint8_t values = 0;      // ImportValueBit of the columns given
  std::vector<ImportBar> bars;  // by date and time, no two alike
};

struct ImportData {
  std::vector<ImportFileInfo> files;
  std::vector<ImportSymbol> symbols;  // in the order first met
  std::vector<std::string> notes;     // columns ignored, and the like
};

struct ImportParse {
  bool ok = false;
  ImportError error;  // when not ok
  // When not ok, files ends with what was found of the file that failed before its failing
  // line (a date form not yet settled is kDetect).
  ImportData data;
};

// Reads and parses every file (each read whole, through the file system seam).
ImportParse parse_import(const std::vector<std::string>& paths, const ImportOptions& options,
                         const ImportControl& control = {});
// The same for text in memory named file_name (its stem is the default symbol).
ImportParse parse_import_text(std::string_view text, const std::string& file_name,
                              const ImportOptions& options, const ImportControl& control = {});

// The detection for a preview: the file as parse_import would read it, its first lines split
// into cells (at most max_lines), and the first error when the whole text does not parse.
struct ImportPreview {
  ImportFileInfo info;
  std::vector<std::vector<std::string>> cells;
  bool ok = false;
  ImportError error;
};
ImportPreview preview_import(std::string_view text, const std::string& file_name,
                             const ImportOptions& options, std::size_t max_lines = 100);

// What the import does to one symbol.
struct ImportSymbolPlan {
  std::string symbol;
  std::string name;
  std::string dir;  // the portfolio that takes it, ending in a separator
  bool new_symbol = false;
  bool new_portfolio = false;  // a sub-portfolio the import creates
  int file_number = 0;
  int record_length = 0;
  int field_count = 0;
  std::int32_t added = 0;               // input days the file did not hold
  std::int32_t replaced = 0;            // days the file held, replaced (with replace)
  std::int32_t kept = 0;                // days the file held, kept (without replace)
  std::int32_t quotes = 0;              // the file's quotes afterwards
  qdb::DateSerial first = 0, last = 0;  // its first and last dates afterwards
};

struct ImportPlan {
  bool ok = false;
  ImportError error;                      // when not ok
  std::vector<ImportSymbolPlan> symbols;  // in the order of ImportData::symbols
  std::vector<std::string> notes;
};

// Plans the import of data into the portfolio dir (which holds a MASTER).
ImportPlan plan_import(const std::string& dir, const ImportData& data,
                       const ImportOptions& options);

// Plans again under the locks of every portfolio concerned and writes. Each portfolio's files
// (data files, MASTER, EMASTER, XMASTER) change in one transaction; sub-portfolios go first,
// the root's "<DIR>" entries last, so a root never lists a sub-portfolio that is not complete.
// On failure ok is false and error names the cause; restore_failed lists files a failed
// commit could not put back (normally empty).
struct ImportResult {
  ImportPlan plan;
  bool ok = false;
  std::string restore_failed;
};
ImportResult write_import(const std::string& dir, const ImportData& data,
                          const ImportOptions& options, const ImportControl& control = {});

// Creates dir when needed with an empty MASTER and EMASTER. Refused (false, error set) when dir
// already holds a MASTER (matched without regard to case) or a file can't be written.
bool create_new_portfolio(const std::string& dir, ImportError& error);

}  // namespace core
