// dorvane-cli export DIR KEY FILE: a symbol's quotes as a delimited text file.
#include <iostream>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/export.h"
#include "qdb/status.h"

namespace {

int run_export(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kExport{
    "export",
    "export DIR KEY FILE [--delimiter space|comma|tab] [--omit open,high,low,close,volume,oi] "
    "[--title] [--newest-first] [--date-format mdy2|mdy4|iso|ymd] [--time] [--force] "
    "[--file-number N]",
    "Write the quotes of a symbol to a text file (FILE - for standard output), one line per "
    "quote, oldest first unless --newest-first. Dates are MM/DD/YY (mdy2) unless --date-format "
    "names MM/DD/YYYY, YYYY-MM-DD or YYYYMMDD; --time adds a TIME column (HH:MM:SS) for an "
    "intraday series. An existing FILE is replaced only with --force.",
    {3,
     {"delimiter", "omit", "date-format", "file-number"},
     {"title", "newest-first", "force", "time"}},
    run_export};
const cli::Registrar kRegistrar{kExport};

bool parse_delimiter(const std::string& text, int& choice) {
  if (text == "space")
    choice = 0;
  else if (text == "comma")
    choice = 1;
  else if (text == "tab")
    choice = 2;
  else
    return false;
  return true;
}

bool parse_omit(const std::string& list, core::ExportOptions& options) {
  std::istringstream words(list);
  std::string word;
  while (std::getline(words, word, ',')) {
    if (word == "open")
      options.omit_open = true;
    else if (word == "high")
      options.omit_high = true;
    else if (word == "low")
      options.omit_low = true;
    else if (word == "close")
      options.omit_close = true;
    else if (word == "volume" || word == "vol")
      options.omit_volume = true;
    else if (word == "oi")
      options.omit_oi = true;
    else if (!word.empty())
      return false;
  }
  return true;
}

int run_export(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  core::ExportOptions options;
  options.path = parsed.positional[2];
  if (const std::string* delimiter = parsed.value("delimiter");
      delimiter && !parse_delimiter(*delimiter, options.delimiter))
    return cli::usage_error(kExport, err, "unknown delimiter '" + *delimiter + "'");
  for (const auto& [name, value] : parsed.options)
    if (name == "omit" && !parse_omit(value, options))
      return cli::usage_error(kExport, err, "unknown column in --omit " + value);
  if (const std::string* form = parsed.value("date-format");
      form && !core::parse_export_date_form(*form, options.date_form))
    return cli::usage_error(kExport, err, "unknown date format '" + *form + "'");
  options.time = parsed.has("time");
  options.title = parsed.has("title");
  options.newest_first = parsed.has("newest-first");

  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];
  const cli::KeyEntry entry = cli::resolve_key(kExport, parsed, dir, key, err);
  if (entry.exit_code) return *entry.exit_code;
  core::ExportResult result;
  if (options.path == "-") {
    result = core::export_quotes(dir, key, options, out, entry.file_number);
  } else {
    if (!parsed.has("force") && core::export_target_exists(options.path)) {
      err << options.path << "\nThis file already exists\n(give --force to replace it)\n";
      return cli::kExitFailure;
    }
    result = core::export_quotes_to_file(dir, key, options, entry.file_number);
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
