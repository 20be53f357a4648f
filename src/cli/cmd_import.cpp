// dorvane-cli import DIR FILE...: delimited price text into a portfolio.
#include <ostream>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "core/import.h"

namespace {

int run_import(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kImport{
    "import",
    "import DIR FILE... [--columns LIST] [--delimiter comma|semicolon|tab|space] "
    "[--decimal point|comma] [--date-format iso|ymd|mdy4|dmy4|dot|mon|mdy2|dmy2|yymmdd] "
    "[--symbol S] [--name N] [--replace] [--by-letter] [--dry-run] [--json] [--encoding NAME]",
    "Read prices from delimited text files into the portfolio DIR. A header row names the "
    "columns (DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOLUME, OPENINT, TICKER, NAME, PER in any "
    "order); without one, --columns lists them (date,open,high,low,close,volume). Delimiter, "
    "decimal comma and date form are detected unless given. A file without a TICKER column is "
    "one symbol: --symbol, else the file name's stem. Days a symbol already holds are kept "
    "unless --replace; --by-letter puts new symbols into sub-portfolios named by their first "
    "letter. Nothing is written when any line can't be read. Prints per symbol the days added, "
    "replaced and kept; --dry-run writes nothing. --symbol and --name are written in the code "
    "page of DIR's names (--encoding, by default auto).",
    {2,
     {"columns", "delimiter", "decimal", "date-format", "symbol", "name", cli::kEncodingOption},
     {"replace", "by-letter", "dry-run", "json"},
     true},
    run_import};
const cli::Registrar kRegistrar{kImport};

bool parse_columns(const std::string& list, std::vector<core::ImportColumn>& columns) {
  std::istringstream words(list);
  std::string word;
  while (std::getline(words, word, ',')) {
    core::ImportColumn column{};
    if (!core::parse_import_column(word, column)) return false;
    columns.push_back(column);
  }
  return !columns.empty();
}

bool parse_delimiter(const std::string& word, char& delimiter) {
  if (word == "comma" || word == ",")
    delimiter = ',';
  else if (word == "semicolon" || word == ";")
    delimiter = ';';
  else if (word == "tab" || word == "\t")
    delimiter = '\t';
  else if (word == "space" || word == " ")
    delimiter = ' ';
  else
    return false;
  return true;
}

std::string delimiter_word(char delimiter) {
  switch (delimiter) {
    case ',':
      return "comma";
    case ';':
      return "semicolon";
    case '\t':
      return "tab";
    default:
      return "space";
  }
}

// Reads the options into core's form; a usage error's detail when one is wrong.
std::string read_options(const cli::ParsedArgs& parsed, core::ImportOptions& options) {
  if (const std::string* columns = parsed.value("columns");
      columns && !parse_columns(*columns, options.columns))
    return "unknown column in --columns " + *columns;
  if (const std::string* delimiter = parsed.value("delimiter");
      delimiter && !parse_delimiter(*delimiter, options.delimiter))
    return "unknown delimiter '" + *delimiter + "'";
  if (const std::string* decimal = parsed.value("decimal")) {
    if (*decimal == "point")
      options.decimal = '.';
    else if (*decimal == "comma")
      options.decimal = ',';
    else
      return "unknown decimal separator '" + *decimal + "'";
  }
  if (const std::string* form = parsed.value("date-format");
      form && !core::parse_import_date_form(*form, options.date_form))
    return "unknown date format '" + *form + "'";
  if (const std::string* symbol = parsed.value("symbol")) options.symbol = *symbol;
  if (const std::string* name = parsed.value("name")) options.name = *name;
  if (!options.name.empty() && options.symbol.empty()) return "--name needs --symbol";
  options.replace = parsed.has("replace");
  options.by_letter = parsed.has("by-letter");
  return {};
}

void print_json(std::ostream& out, const core::ImportData& data, const core::ImportPlan& plan,
                bool dry_run, qdb::CodePage page) {
  namespace json = cli::json;
  json::Value files = json::Value::array();
  for (const core::ImportFileInfo& file : data.files) {
    json::Value columns = json::Value::array();
    for (core::ImportColumn column : file.columns)
      columns.push_back(core::import_column_word(column));
    files.push_back({{"path", json::path_text(file.path)},
                     {"delimiter", delimiter_word(file.delimiter)},
                     {"decimal", file.decimal == ',' ? "comma" : "point"},
                     {"date_form", core::import_date_form_word(file.date_form)},
                     {"header", file.header},
                     {"columns", columns},
                     {"rows", file.rows}});
  }
  json::Value symbols = json::Value::array();
  for (const core::ImportSymbolPlan& symbol : plan.symbols)
    symbols.push_back({{"symbol", json::stored_text(symbol.symbol, page)},
                       {"name", json::stored_text(symbol.name, page)},
                       {"portfolio", json::path_text(symbol.dir)},
                       {"file_number", symbol.file_number},
                       {"new_symbol", symbol.new_symbol},
                       {"new_portfolio", symbol.new_portfolio},
                       {"added", symbol.added},
                       {"replaced", symbol.replaced},
                       {"kept", symbol.kept},
                       {"quotes", symbol.quotes},
                       {"first", json::iso_date(symbol.first)},
                       {"last", json::iso_date(symbol.last)}});
  json::Value notes = json::Value::array();
  for (const std::string& note : data.notes) notes.push_back(json::stored_text(note));
  for (const std::string& note : plan.notes) notes.push_back(json::stored_text(note));
  json::print(out,
              {{"dry_run", dry_run}, {"files", files}, {"symbols", symbols}, {"notes", notes}});
}

void print_text(std::ostream& out, const core::ImportData& data, const core::ImportPlan& plan,
                bool dry_run, qdb::CodePage page) {
  for (const std::string& note : data.notes) out << "note: " << note << "\n";
  for (const std::string& note : plan.notes) out << "note: " << note << "\n";
  if (dry_run) out << "dry run: nothing written\n";
  for (const core::ImportSymbolPlan& symbol : plan.symbols) {
    out << qdb::decode_name(symbol.symbol, page) << ": " << symbol.added << " added, "
        << symbol.replaced << " replaced, " << symbol.kept << " kept";
    if (symbol.new_symbol)
      out << " (new, file " << symbol.file_number << " in " << symbol.dir << ")";
    out << "\n";
  }
}

int run_import(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  core::ImportOptions options;
  if (const std::string detail = read_options(parsed, options); !detail.empty())
    return cli::usage_error(kImport, err, detail);
  for (std::string* given : {&options.symbol, &options.name}) {
    if (given->empty()) continue;
    std::optional<std::string> bytes = cli::stored_name(kImport, parsed, *given, err);
    if (!bytes) return cli::kExitFailure;
    *given = std::move(*bytes);
  }
  const std::string& dir = parsed.positional[0];
  const std::vector<std::string> files(parsed.positional.begin() + 1, parsed.positional.end());
  const core::ImportParse parse = core::parse_import(files, options);
  if (!parse.ok) {
    err << parse.error.text() << "\n";
    return cli::kExitFailure;
  }
  const bool dry_run = parsed.has("dry-run");
  core::ImportPlan plan;
  if (dry_run) {
    plan = core::plan_import(dir, parse.data, options);
    if (!plan.ok) {
      err << plan.error.text() << "\n";
      return cli::kExitFailure;
    }
  } else {
    core::ImportResult result = core::write_import(dir, parse.data, options);
    if (!result.ok) {
      err << result.plan.error.text() << "\n";
      if (!result.restore_failed.empty())
        err << "These files could not be put back:" << result.restore_failed << "\n";
      return cli::kExitFailure;
    }
    plan = std::move(result.plan);
  }
  if (parsed.has("json"))
    print_json(out, parse.data, plan, dry_run, parsed.names);
  else
    print_text(out, parse.data, plan, dry_run, parsed.names);
  return cli::kExitOk;
}

}  // namespace
