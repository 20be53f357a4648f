#include "support/portfolio_builder.h"

#include <gtest/gtest.h>

#include "qdb/writer.h"

namespace testing_support {

void make_portfolio(const std::string& dir, const std::vector<PortfolioSymbol>& symbols) {
  ASSERT_TRUE(qdb::create_portfolio(dir));
  for (const PortfolioSymbol& s : symbols) {
    const qdb::SeriesLayout layout = qdb::default_layout(s.record_length);
    ASSERT_TRUE(qdb::write_data_file(dir, s.file_number, s.bars, layout, s.record_length));
    if (s.with_dop) {
      ASSERT_TRUE(qdb::write_dop_file(dir, s.file_number, layout));
    }
    ASSERT_TRUE(qdb::append_master_record(
        dir, qdb::make_master_record(s.file_number, s.symbol, s.name, s.record_length,
                                     s.record_length / 4, s.bars.empty() ? 0 : s.bars.front().date,
                                     s.bars.empty() ? 0 : s.bars.back().date)));
  }
}

}  // namespace testing_support
