// dorvane-cli quotes DIR KEY: the quotes grid of a symbol, newest first.
#include <algorithm>
#include <string>

#include "cli/command.h"
#include "core/quote_texts.h"
#include "qdb/dat.h"
#include "qdb/failure.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace {

int run_quotes(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

const cli::Command kQuotes{"quotes", "quotes DIR KEY",
                           "Print the quotes of a symbol or issue name, newest first: date, "
                           "open, high, low, close, volume and open interest, separated by tabs.",
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

  qdb::clear_failure();
  qdb::SeriesReader reader;
  const qdb::StatusCode opened = reader.open(dir, key);
  if (opened != qdb::kSuccess) {
    err << qdb::with_cause("Error in FillQuotesGrid\n(" + key + ": " + qdb::status_text(opened) +
                           ")")
        << "\n";
    return cli::kExitFailure;
  }
  qdb::QuoteSeries series;
  if (qdb::series_alloc(series, kWindow) != qdb::kSuccess) {
    err << "Too many bars\n";
    return cli::kExitFailure;
  }

  // Windows from the newest quotes backwards; within a window from its newest row down.
  const std::int32_t total = reader.total();
  std::int32_t shown = 0;
  std::string text;
  while (shown < total) {
    const int want = static_cast<int>(std::min<std::int32_t>(kWindow, total - shown));
    const std::int32_t start = total - shown - want;
    const qdb::StatusCode status = reader.read(series, key, start, want);
    if (status != qdb::kSuccess) {
      err << "Error in FillQuotesGrid\n(" << key << ": " << qdb::status_text(status) << ")\n";
      return cli::kExitFailure;
    }
    // Only the rows actually read are shown. A window that reads short lies at the end of a
    // file shorter than its header claims: its rows are the last the file holds.
    const int got = std::min<int>(series.count, want);
    text.clear();
    for (int row = got - 1; row >= 0; --row) {
      const auto cells = core::quote_cell_texts(series.bar(row));
      for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c != 0) text += '\t';
        text += cells[c];
      }
      text += '\n';
    }
    out << text;
    if (got < want) {
      err << "note: the data file holds fewer quotes than its header's " << total << "\n";
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
