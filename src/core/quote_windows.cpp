#include "core/quote_windows.h"

#include <algorithm>

namespace core {

NewestFirstQuotes::~NewestFirstQuotes() {
  if (m_allocated) qdb::series_free(m_window);
}

bool NewestFirstQuotes::open(std::string_view directory, std::string_view key, int file_number,
                             const qdb::DirListing* listing) {
  m_key = std::string(key);
  m_status = m_reader.open(directory, key, file_number, listing);
  if (m_status != qdb::kSuccess) {
    m_state = State::kOpenFailed;
    return false;
  }
  m_total = std::max<std::int32_t>(m_reader.total(), 0);
  m_allocated = true;  // a failed allocation still leaves a series to free
  m_status = qdb::series_alloc(m_window, kQuoteWindow);
  if (m_status != qdb::kSuccess) {
    m_state = State::kNoMemory;
    return false;
  }
  m_state = State::kReading;
  return true;
}

bool NewestFirstQuotes::next() {
  m_rows = 0;
  if (m_state != State::kReading || m_delivered >= m_total) return false;
  const int wanted = static_cast<int>(std::min<std::int32_t>(kQuoteWindow, m_total - m_delivered));
  m_window_start = m_total - m_delivered - wanted;
  m_status = m_reader.read(m_window, m_key, m_window_start, wanted);
  if (m_status != qdb::kSuccess) {
    m_state = State::kReadFailed;
    return false;
  }
  // A window never yields more rows than asked. A short one lies at the end of a file shorter
  // than its header claims: its rows are the last the file holds, and the walk ends with them.
  m_rows = std::clamp(static_cast<int>(m_window.count), 0, wanted);
  m_delivered += m_rows;
  if (m_rows < wanted) m_state = State::kShortRead;
  return true;
}

qdb::DateSerial NewestFirstQuotes::quote_date(std::int32_t index) {
  m_rows = 0;
  if (!m_allocated || m_window.capacity < 1) return 0;
  if (m_reader.read(m_window, m_key, index, 1) != qdb::kSuccess || m_window.count < 1) return 0;
  return m_window.date(0);
}

}  // namespace core
