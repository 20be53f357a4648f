// dorvane-cli export DIR KEY FILE: a symbol's quotes as a delimited text file.
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/export_options.h"
#include "cli/quote_view.h"
#include "core/export.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace {

int run_export(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kExport{
    "export",
    "export DIR KEY FILE [--delimiter space|comma|tab] [--omit open,high,low,close,volume,oi] "
    "[--title] [--newest-first] [--date-format mdy2|mdy4|iso|ymd] [--time] [--force] "
    "[--file-number N] [--encoding NAME]",
    "Write the quotes of a symbol to a text file (FILE - for standard output), one line per "
    "quote, oldest first unless --newest-first. Dates are MM/DD/YY (mdy2) unless --date-format "
    "names MM/DD/YYYY, YYYY-MM-DD or YYYYMMDD; --time adds a TIME column (HH:MM:SS) for an "
    "intraday series. An existing FILE is replaced only with --force.",
    {3, cli::export_value_options({"file-number", cli::kEncodingOption}),
     cli::export_flag_options({"force"})},
    run_export};
const cli::Registrar kRegistrar{kExport};

int run_export(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  core::ExportOptions options;
  options.path = parsed.positional[2];
  if (const auto usage = cli::read_export_options(kExport, parsed, options, err)) return *usage;

  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];
  // One listing of the portfolio's directory serves the key's check and the lookup.
  const qdb::DirListing listing(qdb::normalize_dir(dir));
  const cli::KeyEntry entry =
      cli::resolve_key(kExport, parsed, dir, key, err, cli::KeyMatch::kLookup, &listing);
  if (entry.exit_code) return *entry.exit_code;
  core::ExportResult result;
  if (options.path == "-") {
    result = core::export_quotes(dir, key, options, out, entry.file_number, &listing);
  } else {
    if (!parsed.has("force") && core::export_target_exists(options.path)) {
      err << options.path << "\nThis file already exists\n(give --force to replace it)\n";
      return cli::kExitFailure;
    }
    result = core::export_quotes_to_file(dir, key, options, entry.file_number, &listing);
  }
  if (result.status != qdb::kSuccess) {
    cli::print_read_failure("file export error", dir, key, result.status, err, entry.file_number);
    return cli::kExitFailure;
  }
  if (!result.written) {
    err << "file export error\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
