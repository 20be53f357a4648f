// Facts about a series for the data-facts report.
#include "qdb/describe.h"
#include "qdb/extended_master.h"

#include <memory>
#include <optional>

#include "qdb/bytes.h"
#include "qdb/dat.h"
#include "qdb/file_system.h"
#include "qdb/layout.h"
#include "qdb/lookup_detail.h"
#include "qdb/master.h"
#include "qdb/mbf.h"
#include "qdb/portfolio_files.h"

namespace qdb {

std::string format_number_text(int number) {
  switch (number) {
    case -7:
      return "128ths";
    case -6:
      return "64ths";
    case -5:
      return "32nds";
    case -4:
      return "16ths";
    case -3:
      return "8ths";
    case -2:
      return "4ths";
    case -1:
      return "Halves";
    case 0:
      return "Whole Num.";
    case 1:
      return "10ths";
    case 2:
      return "100ths";
    case 3:
      return "1,000ths";
    case 4:
      return "10,000ths";
    case 5:
      return "100,000ths";
    case 100:
      return "100s";
    case 1000:
      return "1,000s";
    default:
      return {};
  }
}

std::string periodicity_text(char letter) {
  switch (letter) {
    case 'D':
      return "D Daily";
    case 'I':
      return "I Intra-day";
    case 'M':
      return "M Monthly";
    case 'Q':
      return "Q Quarterly";
    case 'W':
      return "W Weekly";
    case 'Y':
      return "Y Yearly";
    default:
      return "ERROR";
  }
}

int describe_series(std::string_view dir, std::string_view symbol, SeriesDescription& out,
                    int file_number) {
  MasterRecord record;
  std::string found_dir;
  std::optional<DirListing> listing;
  if (detail::find_symbol_listed(dir, symbol, record, found_dir, listing, file_number) != kSuccess)
    return 1;
  SeriesLayout layout;
  if (detail::read_layout_listed(*listing, record.file_number(), layout, record.record_length(),
                                 record.field_count()) != kSuccess) {
    return 1;
  }
  std::uint8_t header[4] = {};
  {
    const std::unique_ptr<ReadFile> dat =
        file_system().open_read(listing->resolve(quote_file_name(record.file_number())));
    if (!dat || dat->read(header, sizeof header) != sizeof header) return 1;
  }

  SeriesDescription d;
  d.path = std::string(dir);
  d.file_number = record.file_number();
  d.record_length = static_cast<std::int8_t>(record.record_length());
  d.field_count = static_cast<std::int8_t>(record.field_count());
  // The header's record count is unsigned 16-bit; a count of 0 shows -1, as the header says.
  d.quote_count = static_cast<std::int32_t>(read_u16le(header + 2)) - 1;
  d.name = record.issue_name_field();
  d.first_date = ieee_bytes_to_float(record.bytes.data() + master_offset::kFirstDate);
  d.last_date = ieee_bytes_to_float(record.bytes.data() + master_offset::kLastDate);
  d.periodicity = periodicity_text(record.periodicity());
  d.symbol = record.symbol_field();
  if (std::string long_name = long_name_of(*listing, record);
      long_name.size() > static_cast<std::size_t>(master_offset::kTextWidth))
    d.long_name = std::move(long_name);
  for (int f = 0; f < kFieldCountAll; ++f) {
    if (layout.column[f] == 0) continue;
    d.input_format[f] = format_number_text(layout.input_format[f]);
    d.display_format[f] = format_number_text(layout.display_format[f]);
  }
  d.has_time = layout.column[kTime] > 0;
  // The first and last quotes, read as the quotes grid reads them; the report stands without.
  SeriesReader reader;
  QuoteSeries one;
  if (reader.open(dir, symbol, file_number) == kSuccess && reader.total() > 0 &&
      series_alloc(one, 1) == kSuccess) {
    const std::string key(symbol);
    if (reader.read(one, key, 0, 1) == kSuccess && one.count == 1) {
      d.first_quote = one.bar(0);
      if (reader.read(one, key, -1, 1) == kSuccess && one.count == 1) {
        d.last_quote = one.bar(0);
        d.has_quotes = true;
      }
    }
  }
  out = std::move(d);
  return 0;
}

}  // namespace qdb
