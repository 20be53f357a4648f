#include "cli/quote_address.h"

#include <algorithm>
#include <vector>

#include "core/entry_values.h"
#include "core/quote_texts.h"
#include "core/series_dates.h"
#include "qdb/dates.h"

namespace cli {

std::optional<core::QuoteAddress> quote_address(const core::ViewState& view,
                                                const std::string& date_text,
                                                const std::string* time_text, bool all_matching,
                                                const char* verb, std::ostream& err) {
  core::QuoteAddress address;
  address.all_matching = all_matching;
  if (time_text) {
    const std::optional<std::int32_t> seconds = core::parse_time_text(*time_text);
    if (!seconds) {
      err << "--time " << *time_text << " is no time: give HH:MM or HH:MM:SS.\n";
      return std::nullopt;
    }
    address.seconds = *seconds;
  }
  // A date that doesn't convert, or a series that can't be read, fails in the command itself
  // with its usual message.
  const qdb::DateSerial date = core::entry_date(date_text);
  if (date == 0) return address;
  const std::optional<core::SeriesStamps> stamps =
      core::read_series_stamps(view.portfolio_dir, view.symbol, view.file_number);
  if (!stamps) return address;
  if (!stamps->has_time) {
    if (time_text) {
      err << view.symbol << " holds no times: leave out --time.\n";
      return std::nullopt;
    }
    return address;
  }

  std::vector<std::int32_t> times;  // of the date, in file order
  for (std::size_t i = 0; i < stamps->dates.size(); ++i) {
    if (stamps->dates[i] == date) times.push_back(stamps->seconds[i]);
  }
  const std::string day = core::display_date_text(date);
  if (!time_text) {
    if (times.empty()) return address;
    std::vector<std::int32_t> distinct = times;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (distinct.size() == 1 && (times.size() == 1 || all_matching)) {
      address.seconds = distinct.front();
      return address;
    }
    if (distinct.size() > 1) {
      err << view.symbol << " has " << times.size() << " quotes dated " << day << ", at";
      for (std::size_t i = 0; i < distinct.size(); ++i)
        err << (i == 0 ? " " : ", ") << qdb::format_seconds_string(distinct[i]);
      err << ".\nName one with --time HH:MM[:SS].\n";
      return std::nullopt;
    }
    address.seconds = distinct.front();  // one time, held by several records: counted below
  }
  const auto matching = std::count(times.begin(), times.end(), address.seconds);
  if (matching > 1 && !all_matching) {
    err << matching << " records of " << view.symbol << " are dated " << day << " at "
        << qdb::format_seconds_string(address.seconds) << ".\nGive --all-matching to " << verb
        << " every one of them.\n";
    return std::nullopt;
  }
  return address;
}

}  // namespace cli
