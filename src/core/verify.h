// Verify: every quote of every symbol of a portfolio (or of a tree of portfolios) checked for
// what is wrong in the quotes themselves and in the index entries that describe them.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/dates.h"

namespace core {

// Each kind of finding, grouped as order, calendar, prices and file against index. Their short
// names (finding_kind_name) are what the text, the JSON and the manual share.
enum class FindingKind {
  kOutOfOrder,      // "out-of-order": a date (and time) before the previous record's
  kRepeatedDate,    // "repeated-date": the date (and time) of an earlier record, other values
  kRepeatedRecord,  // "repeated-record": an earlier record repeated byte for byte
  kWeekend,         // "weekend": a Saturday or Sunday in a daily series
  kFutureDate,      // "future-date": a date after today
  kGap,             // "gap": more weekdays missing than allowed in a daily series
  kHighBelowLow,    // "high-below-low"
  kOutsideRange,    // "outside-range": open or close outside the day's low..high
  kBadPrice,        // "bad-price": a zero or negative price
  kZeroVolume,      // "zero-volume": no volume on a day whose prices moved
  kSuspect,         // "suspect": a move or range far out of line (the chart's rule)
  kSplitJump,       // "split-jump": closes jump by a split ratio (the split search's rule)
  kIndexDate,       // "index-date": an index file's first or last date against the quotes
  kIndexFields,     // "index-fields": field count and record length that disagree
  kRecordLength,    // "record-length": a data file that is no whole number of records
  kHeaderCount,     // "header-count": a data file's header count against its length
  kIndexCount,      // "index-count": an EMASTER or XMASTER count against the entries it holds
  kUnreadable,      // "unreadable": a symbol whose layout or data file cannot be read
};
inline constexpr int kFindingKindCount = static_cast<int>(FindingKind::kUnreadable) + 1;

// The kind's short stable name ("out-of-order") and its group ("order", "calendar",
// "prices", "index").
std::string_view finding_kind_name(FindingKind kind);
std::string_view finding_kind_group(FindingKind kind);
// The kind of a short name or of a group name's first kind; nullopt when neither.
std::optional<FindingKind> finding_kind_of(std::string_view name);
// The kinds --fix mends: out of order, repeated records, index dates and counts.
bool finding_kind_mendable(FindingKind kind);

struct Finding {
  std::string portfolio;  // the portfolio's directory, with its separator
  std::string symbol;     // empty for a finding about the portfolio's index files as a whole
  int file_number = 0;
  qdb::DateSerial date = 0;   // 0: no particular day
  std::int32_t seconds = -1;  // the time of an intraday bar; -1 when the series has no time
  FindingKind kind = FindingKind::kOutOfOrder;
  std::string values;  // the values involved, in words ("high 10.5 below low 11")
};

// "2024-01-05" or "2024-01-05 09:30:00"; empty for no day.
std::string finding_day_text(const Finding& finding);
// One line without its end: symbol, day, kind, values, separated by tabs; led by the portfolio
// when with_portfolio.
std::string finding_line(const Finding& finding, bool with_portfolio);

// The same as a CSV row: portfolio, symbol, file number, date, time, kind, group, values, each
// quoted where it holds a comma, a quote or a line break.
std::string finding_csv_line(const Finding& finding);
// The first row of a CSV report.
std::string_view finding_csv_header();

// Writes a report of findings to path, one line each ended by CR LF: as text (finding_line) or
// as CSV with its header row. The file is written whole beside its final name and renamed into
// place, so a failure leaves an existing file as it was. False on any failure.
bool write_findings(const std::string& path, const std::vector<Finding>& findings, bool csv,
                    bool with_portfolio);

struct VerifyOptions {
  // Weekdays a daily series may skip between two quotes before it counts as a gap.
  int gap_weekdays = 10;
  // Today, for the future-date check; 0: the system clock's date.
  qdb::DateSerial today = 0;
  // Only the entries whose symbol or issue name the key matches (empty: every entry).
  std::string key;
  // Called before each symbol (done of total symbols of the portfolio); may be empty.
  std::function<void(std::size_t done, std::size_t total, const std::string& symbol)> progress;
  // Set to stop between symbols.
  const std::atomic<bool>* cancel = nullptr;
};

struct VerifySummary {
  bool readable = true;  // false: the MASTER could not be read
  std::string failure;   // why not, in words
  int symbols = 0;       // symbols verified
  int findings = 0;
  bool cancelled = false;
};

using FindingSink = std::function<void(const Finding&)>;

// Verifies the portfolio in dir: its directory is listed and its index files read once, and
// each symbol's data file read once, whole. Findings are handed to sink as they are found,
// symbol by symbol in the index files' order, each symbol's in date order.
VerifySummary verify_portfolio(const std::string& dir, const VerifyOptions& options,
                               const FindingSink& sink);

// Every portfolio below (and at) root, in the order discovery finds them. progress, when
// given, hears of each portfolio before it is verified (its index and the count).
VerifySummary verify_tree(
    const std::string& root, const VerifyOptions& options, const FindingSink& sink,
    const std::function<void(std::size_t index, std::size_t count, const std::string& dir)>&
        portfolio_progress = {});

// Today's date serial by the system clock (local time).
qdb::DateSerial today_serial();

}  // namespace core
