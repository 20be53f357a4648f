// dorvane-cli quotes DIR KEY: the quotes grid of a symbol, newest first.
#include <string>

#include "cli/command.h"
#include "cli/json_output.h"
#include "cli/quote_view.h"
#include "core/quote_texts.h"
#include "core/quote_windows.h"
#include "qdb/master.h"
#include "qdb/portfolio_files.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace {

int run_quotes(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err);

const cli::Command kQuotes{"quotes",
                           "quotes DIR KEY [--json] [--file-number N] [--encoding NAME]",
                           "Print the quotes of a symbol or issue name, newest first: date "
                           "(and time, for an intraday series), open, high, low, close, volume "
                           "and open interest, separated by tabs.",
                           {2, {"file-number", cli::kEncodingOption}, {"json"}},
                           run_quotes};
const cli::Registrar kRegistrar{kQuotes};

int run_quotes(const cli::ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];
  // One listing of the portfolio's directory serves the key's check and the lookup.
  const qdb::DirListing listing(qdb::normalize_dir(dir));
  const cli::KeyEntry entry =
      cli::resolve_key(kQuotes, parsed, dir, key, err, cli::KeyMatch::kLookup, &listing);
  if (entry.exit_code) return *entry.exit_code;

  using State = core::NewestFirstQuotes::State;
  core::NewestFirstQuotes quotes;
  quotes.open(dir, key, entry.file_number, &listing);
  const bool with_time = quotes.has_time();
  // Within a window, from its newest row down. --json gathers the rows for one document.
  const bool json = parsed.has("json");
  cli::json::Value rows = cli::json::Value::array();
  std::string text;
  while (quotes.next()) {
    text.clear();
    for (int row = quotes.rows() - 1; row >= 0; --row) {
      const qdb::QuoteBar bar = quotes.window().bar(row);
      if (json) {
        rows.push_back(cli::json::quote(bar, with_time));
        continue;
      }
      const auto cells = core::quote_cell_texts(bar);
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c != 0) text += '\t';
        text += cells[c];
        if (c == 0 && with_time) {
          text += '\t';
          text += core::time_text(bar);
        }
      }
      text += '\n';
    }
    out << text;
  }
  switch (quotes.state()) {
    case State::kOpenFailed:
    case State::kReadFailed:
      cli::print_read_failure("Error in FillQuotesGrid", dir, key, quotes.status(), err,
                              entry.file_number);
      return cli::kExitFailure;
    case State::kNoMemory:
      err << "Too many bars\n";
      return cli::kExitFailure;
    case State::kShortRead: {
      const std::string cause = qdb::read_failure_cause(dir, key, entry.file_number);
      err << "note: "
          << (cause.empty() ? "the data file holds fewer quotes than its header says" : cause)
          << "\n";
      break;
    }
    case State::kReading:
      break;
  }
  if (json)
    cli::json::print(out, {{"portfolio", cli::json::path_text(dir)},
                           {"key", cli::json::path_text(key)},
                           {"quotes", rows}});
  out.flush();
  if (!out) {
    err << "dorvane-cli quotes: the output could not be written\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
