// The split search walk and its pair test.
#include "core/split_search.h"

#include <algorithm>
#include <cmath>

#include "core/quote_texts.h"
#include "core/quote_windows.h"
#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/file_suffixes.h"
#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/status.h"

namespace core {
namespace {

// Frees the working series on every path out of the search.
class WorkingSeries {
 public:
  WorkingSeries() { m_status = qdb::series_alloc(m_series, kQuoteWindow); }
  ~WorkingSeries() { qdb::series_free(m_series); }
  WorkingSeries(const WorkingSeries&) = delete;
  WorkingSeries& operator=(const WorkingSeries&) = delete;
  bool ok() const { return m_status == qdb::kSuccess; }
  qdb::QuoteSeries& get() { return m_series; }

 private:
  qdb::QuoteSeries m_series;
  qdb::StatusCode m_status = qdb::kSuccess;
};

}  // namespace

std::optional<SplitRatio> TestSplitPair(const qdb::QuoteBar& earlier, const qdb::QuoteBar& later) {
  const float c0 = earlier.close;
  const float c1 = later.close;
  if (c0 == 0.0f || c1 == 0.0f) return std::nullopt;
  const float close_ratio = c0 / c1;
  const float change = std::fabs(c0 - c1);
  const float gap = c0 > c1 ? earlier.low - later.high : earlier.high - later.low;
  for (const SplitRatio& ratio : kSplitRatios) {
    const double nominal =
        static_cast<double>(ratio.new_shares) / static_cast<double>(ratio.old_shares);
    const double value = static_cast<double>(close_ratio);
    if (!(0.9 * nominal < value && value < 1.1 * nominal)) continue;
    // The windows of the ratios do not overlap: at most one can match.
    if (std::fabs(gap) > 0.8f * change) return ratio;
    return std::nullopt;
  }
  return std::nullopt;
}

std::string split_result_line(const std::string& symbol, SplitRatio ratio, qdb::DateSerial date) {
  return symbol + " possible " + std::to_string(ratio.new_shares) + " for " +
         std::to_string(ratio.old_shares) + " split on " + display_date_text(date);
}

SplitSearchFiles::SplitSearchFiles(const std::string& dir)
    : m_root(qdb::normalize_dir(dir)), m_listing(m_root), m_lookup(m_listing) {}

SplitSearchSummary split_search(const std::string& dir, const std::vector<SymbolRow>& rows,
                                SplitSearchObserver& observer) {
  // The directory is listed and its index files read once for the whole search, so each
  // symbol costs the reading of its own files alone.
  const SplitSearchFiles files(dir);
  return split_search(files, rows, observer);
}

SplitSearchSummary split_search(const SplitSearchFiles& files, const std::vector<SymbolRow>& rows,
                                SplitSearchObserver& observer) {
  SplitSearchSummary summary;
  WorkingSeries working;
  if (!working.ok()) {
    observer.message("Too many bars");
    summary.aborted = true;
    return summary;
  }
  qdb::QuoteSeries& series = working.get();
  const std::string& root = files.root();

  for (const SymbolRow& row : rows) {
    // A sub-portfolio's "<DIR>" entry holds no quotes; its own portfolio is searched apart.
    if (row.sub_portfolio) continue;
    const std::string& symbol = row.symbol;
    qdb::SeriesReader reader;
    // The row's own entry, even when another entry shows the same symbol.
    qdb::StatusCode opened = qdb::kFileNotFound;
    if (row.file_number == 0) {
      opened = reader.open(root, symbol);
    } else if (const qdb::MasterRecord* entry = files.lookup().find(symbol, row.file_number)) {
      opened = reader.open(files.listing(), *entry);
    }
    if (opened != qdb::kSuccess) {
      observer.message("For symbol " + symbol + "\nSplitSearch cannot read this symbol's quotes (" +
                       qdb::status_text(opened) + "); it was skipped.");
      continue;
    }
    const std::int32_t total = reader.total();
    if (total < 2) {
      observer.message("For symbol " + symbol + "\n" + "SplitSearch cannot perform search\n" +
                       "as there are fewer than 2 quotes.");
      continue;
    }

    std::int32_t start = 0;
    while (start != total - 1) {
      const int wanted = static_cast<int>(std::min<std::int32_t>(total - start, kQuoteWindow));
      if (reader.read(series, symbol, start, wanted) != qdb::kSuccess) {
        observer.message("Error in SplitSearch bars read");
        summary.aborted = true;
        return summary;
      }
      const int got = std::min<int>(series.count, wanted);
      for (int k = 0; k + 1 < got; ++k) {
        const qdb::QuoteBar later = series.bar(k + 1);
        if (const auto ratio = TestSplitPair(series.bar(k), later)) {
          observer.found(symbol, *ratio, later.date);
          observer.result_line(split_result_line(symbol, *ratio, later.date));
          ++summary.lines;
        }
        ++start;
      }
      // A file shorter than its header claims: the walk ends at the last quote read, and a
      // block that yields no pair can never advance.
      if (got < wanted || got < 2) break;
    }
    ++summary.symbols_searched;
    observer.status(symbol);
  }

  observer.status("Done search");
  if (summary.lines == 0) observer.message("No candidate splits found");
  return summary;
}

bool write_split_results(const std::string& path, const std::vector<std::string>& lines) {
  return qdb::replace_file(path, path + std::string(qdb::suffix::kNewRepair),
                           [&](qdb::WriteFile& out) {
                             for (const std::string& line : lines) {
                               if (!out.write(line.data(), line.size()) || !out.write("\r\n", 2))
                                 return false;
                             }
                             return true;
                           })
      .ok();
}

}  // namespace core
