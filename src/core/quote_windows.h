// Reading a symbol's quotes newest first, one bounded window at a time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qdb/dat.h"
#include "qdb/dates.h"
#include "qdb/series.h"
#include "qdb/status.h"

namespace core {

// Quotes held in memory at once by every reader that walks a whole series.
inline constexpr int kQuoteWindow = 400;

// Walks the quotes of one symbol from the newest backwards through one open data file, in
// windows of at most kQuoteWindow quotes, so memory stays bounded whatever the series' length.
class NewestFirstQuotes {
 public:
  enum class State {
    kReading,     // windows remain (or the walk has just finished: see done())
    kOpenFailed,  // the symbol was not found, its layout unknown or its data file unopened
    kNoMemory,    // the window could not be allocated
    kReadFailed,  // a window read failed; the windows before it were delivered
    kShortRead,   // a window held fewer quotes than the header claims; its rows were delivered
  };

  NewestFirstQuotes() = default;
  ~NewestFirstQuotes();
  NewestFirstQuotes(const NewestFirstQuotes&) = delete;
  NewestFirstQuotes& operator=(const NewestFirstQuotes&) = delete;

  // Looks key up from directory (the entry with file_number when that is not 0, see
  // qdb::find_symbol), opens its data file and allocates the window. False (with state() and
  // status() saying why) when the walk cannot start. listing, when given and of directory, is
  // used instead of listing it again.
  bool open(std::string_view directory, std::string_view key, int file_number = 0,
            const qdb::DirListing* listing = nullptr);

  // Reads the next older window. True when a window was read (window(), rows(); only a short
  // window can hold no row); false when every quote has been read or the walk stopped
  // (state() says which).
  bool next();

  State state() const { return m_state; }
  // The library status of a failed open or window read, 0 otherwise.
  qdb::StatusCode status() const { return m_status; }
  // Quotes the data file's header claims (0 when it claims none).
  std::int32_t total() const { return m_total; }
  // Quotes delivered so far.
  std::int32_t delivered() const { return m_delivered; }

  // The window read last, oldest row first; rows() of its rows belong to the walk.
  const qdb::QuoteSeries& window() const { return m_window; }
  int rows() const { return m_rows; }
  // Position in the file (0 the oldest) of the window's first row.
  std::int32_t window_start() const { return m_window_start; }
  // Whether the series has a TIME column.
  bool has_time() const { return m_reader.has_time(); }

  // Date serial of the quote at index (0 the oldest, -1 the newest), read through the same
  // open file into the window; 0 when it cannot be read. Ends the use of the current window.
  qdb::DateSerial quote_date(std::int32_t index);

 private:
  qdb::SeriesReader m_reader;
  qdb::QuoteSeries m_window;
  std::string m_key;
  State m_state = State::kOpenFailed;
  qdb::StatusCode m_status = qdb::kSuccess;
  std::int32_t m_total = 0;
  std::int32_t m_delivered = 0;
  std::int32_t m_window_start = 0;
  int m_rows = 0;
  bool m_allocated = false;
};

}  // namespace core
