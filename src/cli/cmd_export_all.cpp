// dorvane-cli export-all DIR OUTDIR: every symbol of a portfolio as text files, one per symbol
// (or one file for them all).
#include <atomic>
#include <cerrno>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/export_options.h"
#include "core/bulk_export.h"
#include "core/platform_fs.h"
#include "qdb/error.h"
#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace {

int run_export_all(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kExportAll{
    "export-all",
    "export-all DIR OUTDIR [--delimiter space|comma|tab] [--omit open,high,low,close,volume,oi] "
    "[--title] [--newest-first] [--date-format mdy2|mdy4|iso|ymd] [--time] [--single FILE] "
    "[--force]",
    "Write the quotes of every symbol of portfolio DIR (MASTER and XMASTER) to text files in "
    "OUTDIR, created when missing: one file per symbol, named by the symbol made safe for a file "
    "system and unique (\"BRK/A\" becomes BRK_A.txt, a second BRK_A BRK_A~2.txt). --single "
    "writes one FILE in OUTDIR instead, each line led by a SYMBOL column. The options of export "
    "apply. Nothing is written when a file exists already, unless --force; the files take their "
    "names only once all are written, so a failure or Ctrl+C leaves OUTDIR as it was. A symbol "
    "whose quotes cannot be read is named and skipped (exit status 1).",
    {2, cli::export_value_options({"single"}), cli::export_flag_options({"force"})},
    run_export_all};
const cli::Registrar kRegistrar{kExportAll};

// The single line a terminal shows while the export runs, rewritten in place.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : m_err(err) {}
  void show(std::size_t done, std::size_t total, const std::string& symbol) {
    // A few hundred updates are plenty for the eye, and cost the export nothing.
    const std::size_t step = total / 200 + 1;
    if (done % step != 0 && done != total) return;
    std::string text = "export-all: " + std::to_string(done) + "/" + std::to_string(total) + " " +
                       symbol.substr(0, 40);
    const std::size_t width = text.size();
    if (text.size() < m_width) text.append(m_width - text.size(), ' ');
    m_width = width;
    m_err << '\r' << text << std::flush;
  }
  void clear() {
    if (m_width == 0) return;
    m_err << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
    m_width = 0;
  }

 private:
  std::ostream& m_err;
  std::size_t m_width = 0;
};

int run_export_all(const cli::ParsedArgs& parsed, std::ostream&, std::ostream& err) {
  core::BulkExportRequest request;
  if (const auto usage = cli::read_export_options(kExportAll, parsed, request.options, err))
    return *usage;
  const std::string& dir = parsed.positional[0];
  const std::string out_dir = qdb::normalize_dir(parsed.positional[1]);
  if (const std::string* single = parsed.value("single")) {
    if (single->empty()) return cli::usage_error(kExportAll, err, "--single needs a file name");
    // A relative FILE is placed in OUTDIR, with everything else the command writes.
    const bool drive =
        core::platform::separator() == '\\' && single->size() > 1 && (*single)[1] == ':';
    const bool absolute = core::platform::is_separator(single->front()) || drive;
    request.single_file = absolute ? *single : out_dir + *single;
  }
  request.out_dir = out_dir;
  request.force = parsed.has("force");

  const core::BulkExportPlan plan(dir);
  if (!plan.ok()) {
    err << "dorvane-cli export-all: the MASTER file " << qdb::master_path(plan.listing())
        << " cannot be read\n";
    return cli::kExitFailure;
  }
  qdb::FileSystem& files = qdb::file_system();
  if (!files.exists(out_dir.empty() ? "." : out_dir)) {
    errno = 0;
    if (!files.create_directory(out_dir)) {
      err << "dorvane-cli export-all: the directory " << parsed.positional[1]
          << " could not be created\n"
          << qdb::last_error_of(parsed.positional[1]).cause << "\n";
      return cli::kExitFailure;
    }
  }

  ProgressLine progress(err);
  if (core::platform::stderr_is_terminal())
    request.progress = [&progress](std::size_t done, std::size_t total, const std::string& symbol) {
      progress.show(done, total, symbol);
    };
  request.cancel = &core::platform::catch_stop_signals();
  const core::BulkExportResult result = core::run_bulk_export(plan, request);
  progress.clear();

  switch (result.outcome) {
    case core::BulkExportOutcome::kNoIndex:
      err << "dorvane-cli export-all: the MASTER file " << qdb::master_path(plan.listing())
          << " cannot be read\n";
      return cli::kExitFailure;
    case core::BulkExportOutcome::kClashes:
      for (const std::string& name : result.clashes) err << name << "\n";
      err << (result.clashes.size() == 1
                  ? "This file already exists\n(give --force to replace it)\n"
                  : "These files already exist\n(give --force to replace "
                    "them)\n");
      return cli::kExitFailure;
    case core::BulkExportOutcome::kCancelled:
      err << "dorvane-cli export-all: stopped; nothing was written\n";
      return cli::kExitFailure;
    case core::BulkExportOutcome::kFailed:
      err << "file export error\n" << result.failure << "\n";
      return cli::kExitFailure;
    case core::BulkExportOutcome::kDone:
      break;
  }
  for (const core::BulkExportSkip& skip : result.skipped) {
    err << "For symbol " << skip.symbol << " (F" << skip.file_number
        << "): its quotes cannot be read, so it was not exported (" << qdb::status_text(skip.status)
        << ")\n";
    if (!skip.cause.empty()) err << skip.cause << "\n";
  }
  return result.skipped.empty() ? cli::kExitOk : cli::kExitFailure;
}

}  // namespace
