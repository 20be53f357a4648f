// dorvane-cli facts DIR KEY: the data-facts report of a symbol, one label and value per line.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "cli/quote_view.h"
#include "core/quote_texts.h"
#include "qdb/describe.h"
#include "qdb/series_problem.h"

namespace {

int run_facts(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kFacts{"facts",
                          "facts DIR KEY [--json] [--file-number N] [--encoding NAME]",
                          "Show what the MASTER record, the data file and the layout say about a "
                          "symbol: labels and values separated by tabs, then the input and "
                          "display formats of each field, then the first and last quote's date "
                          "(and time, for an intraday series).",
                          {2, {"file-number", cli::kEncodingOption}, {"json"}},
                          run_facts};
const cli::Registrar kRegistrar{kFacts};

// A stored text field as the dialog shows it: up to its first zero byte, blanks kept, in UTF-8.
std::string shown(const std::string& field, qdb::CodePage page) {
  return qdb::decode_name(field.substr(0, field.find('\0')), page);
}

std::string date_text(float date) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%7.0f", static_cast<double>(date));
  return buffer;
}

// The date of a quote as the grid shows it, and its time for an intraday series.
std::string quote_moment(const qdb::QuoteBar& bar, bool has_time) {
  std::string text = core::display_date_text(bar.date);
  if (has_time) {
    text += ' ';
    text += core::time_text(bar);
  }
  return text;
}

int run_facts(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];
  const cli::KeyEntry entry = cli::resolve_key(kFacts, parsed, dir, key, err);
  if (entry.exit_code) return *entry.exit_code;

  qdb::SeriesDescription facts;
  if (qdb::describe_series(dir, key, facts, entry.file_number) != 0) {
    const std::string cause = qdb::read_failure_cause(dir, key, entry.file_number);
    err << "dorvane-cli facts: no facts about " << key << " in " << dir << ": "
        << (cause.empty() ? "the symbol is not found, its layout cannot be determined or its "
                            "data file does not open"
                          : cause)
        << "\n";
    return cli::kExitFailure;
  }
  if (parsed.has("json")) {
    cli::json::print(out, cli::json::facts(facts, parsed.names));
    return cli::kExitOk;
  }
  out << "Path:\t" << facts.path << '\n'
      << "File number\t" << static_cast<int>(facts.file_number) << '\n'
      << "DAT file record length\t" << static_cast<int>(facts.record_length) << '\n'
      << "DAT file number of fields\t" << static_cast<int>(facts.field_count) << '\n'
      << "Number of quotes\t" << facts.quote_count << '\n'
      << "Name of issue\t" << shown(facts.name, parsed.names) << '\n';
  if (!facts.long_name.empty())
    out << "Long name of issue\t" << qdb::decode_name(facts.long_name, parsed.names) << '\n';
  out << "First date in file*\t" << date_text(facts.first_date) << '\n'
      << "Last date in file*\t" << date_text(facts.last_date) << '\n'
      << "Data format\t" << facts.periodicity << '\n'
      << "Symbol\t" << shown(facts.symbol, parsed.names) << '\n';
  static const char* const kFieldLabels[8] = {"Date", "Time",  "Open", "High",
                                              "Low",  "Close", "Vol",  "OI"};
  for (int field = 0; field < 8; ++field)
    out << kFieldLabels[field] << '\t' << facts.input_format[field] << '\t'
        << facts.display_format[field] << '\n';
  if (facts.has_quotes) {
    out << "First quote\t" << quote_moment(facts.first_quote, facts.has_time) << '\n'
        << "Last quote\t" << quote_moment(facts.last_quote, facts.has_time) << '\n';
  }
  return cli::kExitOk;
}

}  // namespace
