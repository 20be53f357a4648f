// The split search: consecutive quotes whose closes jump by the ratio of a common stock split,
// with a price gap that confirms the jump.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/symbol_rows.h"
#include "qdb/portfolio_files.h"
#include "qdb/portfolio_lookup.h"
#include "qdb/series.h"

namespace core {

// new_shares new shares for old_shares old shares.
struct SplitRatio {
  int new_shares;
  int old_shares;
};

// The ratios tried, in order.
inline constexpr std::array<SplitRatio, 8> kSplitRatios{
    {{1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 3}, {3, 1}, {3, 2}, {4, 1}}};

// The ratio matched by a pair of consecutive quotes (earlier, later), if any: the earlier close
// over the later one (single precision) strictly between 0.9 and 1.1 times new_shares /
// old_shares (double precision), confirmed by a gap larger than 0.8 times the closes'
// difference (single precision, both taken without sign), the gap being the earlier low less
// the later high for a fall and the earlier high less the later low otherwise. A zero close
// matches nothing.
std::optional<SplitRatio> TestSplitPair(const qdb::QuoteBar& earlier, const qdb::QuoteBar& later);

// "%s possible %d for %d split on %s" with the date as MM/DD/YY.
std::string split_result_line(const std::string& symbol, SplitRatio ratio, qdb::DateSerial date);

// What the search reports while it runs (the app's Split Search window; the CLI's streams).
class SplitSearchObserver {
 public:
  virtual ~SplitSearchObserver() = default;
  // A result line, in the order found.
  virtual void result_line(const std::string& line) = 0;
  // The same finding in parts, just before its result line; ignored unless overridden.
  virtual void found(const std::string& /*symbol*/, SplitRatio /*ratio*/,
                     qdb::DateSerial /*date*/) {}
  // The status line: the symbol last searched, then "Done search".
  virtual void status(const std::string& text) = 0;
  // A message for the user (a message box in the app).
  virtual void message(const std::string& text) = 0;
};

struct SplitSearchSummary {
  int lines = 0;  // result lines found
  int symbols_searched = 0;
  bool aborted = false;  // a block read failed and ended the search
};

// Searches the symbols of rows, in their order (the symbols grid's), in the portfolio
// directory dir. Each symbol's data file is opened once and read in blocks of at most
// kQuoteWindow quotes overlapping by one, so every pair of consecutive quotes is tested once. A
// block that reads fewer quotes than asked ends that symbol's walk at the quotes read. A symbol
// whose quotes cannot be opened is skipped with a message; a sub-portfolio's "<DIR>" row is
// passed over without one. Each row is read from its own entry (its file number), even when
// another entry shows the same symbol.
SplitSearchSummary split_search(const std::string& dir, const std::vector<SymbolRow>& rows,
                                SplitSearchObserver& observer);

// A portfolio's directory listed and its own index files read once, so that a search done a
// few rows at a time (the app's window) opens each symbol straight from its entry.
class SplitSearchFiles {
 public:
  explicit SplitSearchFiles(const std::string& dir);
  const std::string& root() const { return m_root; }
  const qdb::DirListing& listing() const { return m_listing; }
  const qdb::PortfolioLookup& lookup() const { return m_lookup; }

 private:
  std::string m_root;
  qdb::DirListing m_listing;
  qdb::PortfolioLookup m_lookup;
};

// The same search over files read beforehand.
SplitSearchSummary split_search(const SplitSearchFiles& files, const std::vector<SymbolRow>& rows,
                                SplitSearchObserver& observer);

// Writes the result file: every line ended by CR LF, nothing else; the file is written whole
// beside its final name and renamed into place, so a failure leaves an existing file as it
// was. False on any failure.
bool write_split_results(const std::string& path, const std::vector<std::string>& lines);

}  // namespace core
