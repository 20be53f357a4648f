// Verify's look at one data file's records: their order and repeats, the calendar and the
// prices; and the order --fix writes them back in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/verify.h"
#include "qdb/dates.h"
#include "qdb/layout.h"
#include "qdb/series.h"

namespace core {

// The records of one data file as read whole: the bytes after the header, cut to whole
// records, and what decodes them.
struct SeriesRecords {
  const std::uint8_t* bytes = nullptr;
  std::size_t count = 0;  // whole records held
  int length = 0;         // bytes a record
  int field_count = 0;
  qdb::SeriesLayout layout;
  qdb::DateForm form = qdb::DateForm::kTwoDigit;
  bool daily = false;  // a daily series without a time column: the calendar checks apply

  const std::uint8_t* record(std::size_t i) const {
    return bytes + i * static_cast<std::size_t>(length);
  }
  bool has_time() const { return layout.column[qdb::kTime] > 0; }
};

// The records decoded, and the order --fix writes them in: by date and time, records of the
// same date and time in file order, each record repeated byte for byte kept once.
struct MendedOrder {
  std::vector<qdb::QuoteBar> bars;   // every record decoded, in file order
  std::vector<std::uint32_t> order;  // positions of the records kept, in their new order
  bool in_order = true;              // the file's records were already in date (and time) order
  std::size_t repeats = 0;           // records dropped as byte-for-byte repeats
  bool changes() const { return !in_order || repeats != 0; }
};
MendedOrder mended_order(const SeriesRecords& records);

// Every finding of the order, calendar and price kinds in the records, to add (which fills in
// the day, the kind and the values; the caller names the symbol). Order findings come in file
// order; the others follow the mended order.
void verify_series(const SeriesRecords& records, const MendedOrder& mended,
                   const VerifyOptions& options, qdb::DateSerial today,
                   const std::function<void(Finding&&)>& add);

// Weekdays (Monday to Friday) strictly between two date serials, earlier first.
int weekdays_between(qdb::DateSerial earlier, qdb::DateSerial later);

}  // namespace core
