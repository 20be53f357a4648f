// Export of every symbol of a portfolio at once: one text file per symbol in an output
// directory, or one file holding them all behind a SYMBOL column. Shared by the app's Export
// All window and the CLI's export-all command.
//
// The batch is crash-safe as a whole: every new file is written completely under a temporary
// name beside its target, all of them are synced together (one call for the whole file system
// where the host has one, else each file), and only then is each renamed over its target and
// the directory synced once. A stop or a failure before the renames leaves the output
// directory exactly as it was.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/export.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/status.h"

namespace core {

// Every output file name ends in this.
inline constexpr std::string_view kBulkExportExtension = ".txt";

// The title of the leading column of the single file.
inline constexpr std::string_view kBulkExportSymbolTitle = "SYMBOL";

// The file name stem of a symbol, safe on every file system (it is not yet made unique):
// - leading and trailing blanks are dropped (the index pads its fields with them);
// - every byte below 0x20, 0x7F and above, and each of / \ < > : " | ? * becomes '_';
// - a leading or trailing dot or blank becomes '_' (so "." and ".." become "_" and "__");
// - an empty text becomes "_";
// - a Windows device name (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9, in any case) before the
//   first dot gets '_' appended to it ("CON" -> "CON_", "nul.x" -> "nul_.x");
// - the stem is cut to kBulkExportStemMax bytes (and checked again for a trailing dot or
//   blank).
inline constexpr std::size_t kBulkExportStemMax = 100;
std::string bulk_export_stem(std::string_view symbol);

// File names for symbols, in order: each stem (bulk_export_stem) plus kBulkExportExtension,
// unique without regard to ASCII case (the files may land on a disk that ignores case). The
// first symbol keeps its stem; a later one whose name is already taken gets "~2", "~3", ...
// (the lowest number whose name is still free) after its stem: "BRK/A" -> "BRK_A.txt", a
// second "BRK_A" -> "BRK_A~2.txt".
std::vector<std::string> bulk_export_file_names(const std::vector<std::string>& symbols);

// One symbol of the portfolio.
struct BulkExportItem {
  std::string symbol;     // as the symbols grid shows it (column 0), trailing blanks dropped
  int file_number = 0;    // its entry's data file number
  bool extended = false;  // listed by the XMASTER
  std::string file_name;  // its output file's name (per-symbol mode)
  std::size_t entry = 0;  // position among the portfolio's own entries (internal)
};

// A portfolio read once for the export: the directory listed, its own index files read (the
// MASTER's entries in file order, "<DIR>" entries left out, then the XMASTER's), and every
// symbol given its output file name. Each data file is later opened straight from its entry.
class BulkExportPlan {
 public:
  explicit BulkExportPlan(const std::string& dir);
  // False when the MASTER does not open or its header does not read.
  bool ok() const { return m_entries.ok(); }
  const std::string& root() const { return m_root; }
  const std::vector<BulkExportItem>& items() const { return m_items; }
  const qdb::DirListing& listing() const { return m_listing; }
  const qdb::PortfolioLookup& entries() const { return m_entries; }

 private:
  std::string m_root;
  qdb::DirListing m_listing;
  qdb::PortfolioLookup m_entries;
  std::vector<BulkExportItem> m_items;
};

// Reports each symbol as it is done: done of total, the symbol just written (or skipped).
using BulkExportProgress =
    std::function<void(std::size_t done, std::size_t total, const std::string& symbol)>;

struct BulkExportRequest {
  ExportOptions options;  // the Export choices; options.path is not used
  // Per-symbol mode: the existing directory that receives one file per symbol.
  std::string out_dir;
  // When not empty, single mode instead: this one file receives every symbol's rows, each
  // line led by the symbol (a delimiter character inside a symbol becomes '_') and the
  // delimiter; the title row, when wanted, is written once with SYMBOL first. With
  // options.time every row has a TIME column, "N/A" for a series without times.
  std::string single_file;
  // Replace existing files; one whose name differs from the planned one only in case is
  // replaced under its own name. Without force, any planned file that exists already (a
  // clash) stops the export before anything is written.
  bool force = false;
  BulkExportProgress progress;                // may be empty
  const std::atomic<bool>* cancel = nullptr;  // checked before each symbol; may be null
};

// One symbol whose quotes could not be exported because its series did not open.
struct BulkExportSkip {
  std::string symbol;
  int file_number = 0;
  qdb::StatusCode status = qdb::kSuccess;
  std::string cause;  // its layout or data file that is no regular file (may be empty)
};

enum class BulkExportOutcome {
  kDone,       // every file is in place (symbols in skipped have none)
  kNoIndex,    // the portfolio's MASTER did not read: nothing written
  kClashes,    // files exist and force was not given: nothing written (clashes lists them)
  kCancelled,  // stopped before the renames: nothing written, no temporary file left
  kFailed,     // a write, sync or rename failed: failure says which and why
};

struct BulkExportResult {
  BulkExportOutcome outcome = BulkExportOutcome::kDone;
  std::size_t written = 0;              // files renamed into place (single mode: symbols in it)
  std::vector<BulkExportSkip> skipped;  // series that did not open, in index order
  std::vector<std::string> clashes;     // existing names as the directory holds them
  // kFailed: what failed, with the symbol or file and the cause ("AAPL.txt: No space left on
  // device"). When a rename failed part-way, the files renamed before it are in place (written
  // counts them) and every other temporary file is removed.
  std::string failure;
};

// The planned files that exist in out_dir already (one listing, names compared without regard
// to case), as the directory names them, in plan order. Single mode: the file's path (its name
// as the directory holds it) when such a file can be opened for reading.
std::vector<std::string> bulk_export_clashes(const BulkExportPlan& plan,
                                             const BulkExportRequest& request);

// Runs the export. Each symbol's series is opened from its entry and streamed through
// export_quotes; one that does not open is reported in skipped and the rest go on (the other
// symbols must not be lost to one damaged file). A stop asked through cancel, or any write or
// sync failure, removes every temporary file and leaves the output as it was.
BulkExportResult run_bulk_export(const BulkExportPlan& plan, const BulkExportRequest& request);

}  // namespace core
