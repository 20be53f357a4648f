// The sample quotes and the single-symbol portfolio of the command tests, with the readers
// they check results with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/view_state.h"
#include "qdb/series.h"
#include "support/temp_dir.h"

namespace command_testing {

qdb::DateSerial day(int year, int month, int d);

// Wed 12/29/99, Thu 12/30/99, Mon 01/03/00, Tue 01/04/00, Wed 01/05/00 (no Friday 12/31/99),
// each with its own open, high, low, close, volume and open interest.
std::vector<qdb::QuoteBar> sample_bars();

// The view's state for key after a fresh read, as the quotes grid would leave it.
core::ViewState view_of(const std::string& dir, const std::string& key);

// Every quote of key, oldest first.
std::vector<qdb::QuoteBar> read_bars(const std::string& dir, const std::string& key);

// The native value of the MBF cell at offset of a byte string.
float mbf_at(const std::string& bytes, std::size_t offset);

// A single-symbol portfolio "TEST" (F1) in a temporary directory.
class SamplePortfolio {
 public:
  explicit SamplePortfolio(const std::vector<qdb::QuoteBar>& bars = sample_bars());
  std::string dir() const { return m_temp.dir(); }
  std::string data() const;
  std::string master() const;
  core::ViewState view() const { return view_of(dir(), "TEST"); }

 private:
  testing_support::TempDir m_temp;
};

}  // namespace command_testing
