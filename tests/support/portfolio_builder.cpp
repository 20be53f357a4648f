#include "support/portfolio_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/portfolio_index.h"
#include "qdb/extended_master.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
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
    const qdb::MasterRecord record = qdb::make_master_record(
        s.file_number, s.symbol, s.name, s.record_length, s.record_length / 4,
        s.bars.empty() ? 0 : s.bars.front().date, s.bars.empty() ? 0 : s.bars.back().date);
    if (s.file_number < qdb::kFirstExtendedNumber) {
      ASSERT_TRUE(qdb::append_master_record(dir, record));
      continue;
    }
    const std::filesystem::path at(dir);
    std::filesystem::rename(at / qdb::data_file_name(s.file_number, "DAT"),
                            at / qdb::quote_file_name(s.file_number));
    qdb::Result<core::PortfolioIndex> index = core::read_portfolio_index(qdb::master_path_in(dir));
    ASSERT_TRUE(index.ok());
    core::add_entry(*index, core::EntryToAdd{record, s.name, {}, {}}, s.file_number);
    ASSERT_TRUE(core::write_portfolio_index(*index, ".~NU", false));
  }
}

}  // namespace testing_support
