#include "support/portfolio_builder.h"

#include <gtest/gtest.h>

#include "core/portfolio_index.h"
#include "qdb/dates.h"
#include "qdb/extended_master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "qdb/writer.h"

namespace testing_support {

void make_portfolio(const std::filesystem::path& at, const std::vector<SymbolFixture>& symbols) {
  const std::string dir = at.string();
  ASSERT_TRUE(qdb::create_portfolio(dir));
  for (const SymbolFixture& s : symbols) {
    const qdb::SeriesLayout layout = qdb::default_layout(s.record_length);
    ASSERT_TRUE(qdb::write_data_file(dir, s.file_number, s.bars, layout, s.record_length));
    if (s.with_dop) {
      ASSERT_TRUE(qdb::write_dop_file(dir, s.file_number, layout));
    }
    const qdb::MasterRecord record = qdb::make_master_record(
        s.file_number, s.symbol, s.name, s.record_length, s.record_length / 4,
        s.bars.empty() ? 0 : s.bars.front().date, s.bars.empty() ? 0 : s.bars.back().date);
    if (s.file_number < qdb::kFirstExtendedNumber) {
      ASSERT_TRUE(qdb::append_master_record(dir, record));
      continue;
    }
    std::filesystem::rename(at / qdb::data_file_name(s.file_number, "DAT"),
                            at / qdb::quote_file_name(s.file_number));
    qdb::Result<core::PortfolioIndex> index = core::read_portfolio_index(qdb::master_path_in(dir));
    ASSERT_TRUE(index.ok());
    core::add_entry(*index, core::EntryToAdd{record, s.name, {}, {}}, s.file_number);
    ASSERT_TRUE(core::write_portfolio_index(*index, ".~NU", false));
  }
}

std::vector<qdb::QuoteBar> daily_bars(int count) {
  std::vector<qdb::QuoteBar> bars;
  const qdb::DateSerial first = qdb::date_serial(2000, 1, 3);
  for (int i = 0; i < count; ++i) {
    const float price = 10.0f + 0.25f * static_cast<float>(i);
    bars.push_back({static_cast<qdb::DateSerial>(first + i), 0, price, price + 1.0f, price - 1.0f,
                    price + 0.5f, 1000.0f + static_cast<float>(i), 50.0f});
  }
  return bars;
}

std::vector<qdb::QuoteBar> bars_from(float base, int last_day) {
  std::vector<qdb::QuoteBar> bars;
  for (int day = 3; day <= last_day; ++day) {
    const float price = base + static_cast<float>(day);
    bars.push_back({qdb::date_serial(2000, 1, day), 0, price, price + 1, price - 1, price + 0.5f,
                    100 * price, price});
  }
  return bars;
}

}  // namespace testing_support
