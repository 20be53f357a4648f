// dorvane-cli quotes DIR KEY: the quotes grid of a symbol, newest first.
#include <algorithm>
#include <string>

#include "cli/command.h"
#include "cli/quote_view.h"
#include "core/quote_texts.h"
#include "qdb/dat.h"
#include "qdb/series.h"
#include "qdb/series_problem.h"
#include "qdb/status.h"

namespace {

int run_quotes(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kQuotes{"quotes", "quotes DIR KEY",
                           "Print the quotes of a symbol or issue name, newest first: date "
                           "(and time, for an intraday series), open, high, low, close, volume "
                           "and open interest, separated by tabs.",
                           run_quotes};
const cli::Registrar kRegistrar{kQuotes};

// Quotes held in memory at once.
constexpr int kWindow = 400;

int run_quotes(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const cli::ParsedArgs parsed = cli::parse_args(args, {});
  if (!parsed.ok) return cli::usage_error(kQuotes, err, parsed.error);
  if (parsed.positional.size() != 2) return cli::usage_error(kQuotes, err);
  const std::string& dir = parsed.positional[0];
  const std::string& key = parsed.positional[1];

  qdb::SeriesReader reader;
  const qdb::StatusCode opened = reader.open(dir, key);
  if (opened != qdb::kSuccess) {
    cli::print_read_failure("Error in FillQuotesGrid", dir, key, opened, err);
    return cli::kExitFailure;
  }
  qdb::QuoteSeries series;
  if (qdb::series_alloc(series, kWindow) != qdb::kSuccess) {
    err << "Too many bars\n";
    return cli::kExitFailure;
  }

  // Windows from the newest quotes backwards; within a window from its newest row down.
  const std::int32_t total = reader.total();
  const bool with_time = reader.has_time();
  std::int32_t shown = 0;
  std::string text;
  while (shown < total) {
    const int want = static_cast<int>(std::min<std::int32_t>(kWindow, total - shown));
    const std::int32_t start = total - shown - want;
    const qdb::StatusCode status = reader.read(series, key, start, want);
    if (status != qdb::kSuccess) {
      cli::print_read_failure("Error in FillQuotesGrid", dir, key, status, err);
      return cli::kExitFailure;
    }
    // Only the rows actually read are shown. A window that reads short lies at the end of a
    // file shorter than its header claims: its rows are the last the file holds.
    const int got = std::min<int>(series.count, want);
    text.clear();
    for (int row = got - 1; row >= 0; --row) {
      const qdb::QuoteBar bar = series.bar(row);
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
    if (got < want) {
      const std::string cause = qdb::series_problem(dir, key);
      err << "note: "
          << (cause.empty() ? "the data file holds fewer quotes than its header says" : cause)
          << "\n";
      break;
    }
    shown += want;
  }
  out.flush();
  if (!out) {
    err << "dorvane-cli quotes: the output could not be written\n";
    return cli::kExitFailure;
  }
  return cli::kExitOk;
}

}  // namespace
