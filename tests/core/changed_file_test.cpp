// A command never replaces a file that another program wrote after the command read it: the
// change made between the new file's write and its commit stays, and the command says why.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/delete_symbol.h"
#include "core/rename_symbol.h"
#include "qdb/dates.h"
#include "qdb/rewrite.h"
#include "qdb/writer.h"
#include "support/failing_file_system.h"
#include "support/hooked_file_system.h"
#include "support/temp_dir.h"

namespace {

using testing_support::read_bytes;
using testing_support::write_bytes;

std::string edit_close(const std::string& dir, qdb::SeriesOp op, qdb::DateSerial date) {
  qdb::SeriesEditRequest request;
  request.op = op;
  request.values[3] = 2.0f;
  request.first_date = request.last_date = date;
  const qdb::Result<void> done = qdb::rewrite_series(request, dir, "TEST", dir + "MASTER", 3);
  return done ? std::string() : done.error().cause;
}

std::string failure_of(const core::CommandResult& result) {
  return result.ok || result.messages.empty() ? std::string() : result.messages.front();
}

TEST(ChangedFile, IsKeptAndNamedByEveryCommandThatWouldReplaceIt) {
  const qdb::DateSerial first = qdb::date_serial(2000, 1, 3);
  struct Case {
    const char* command;
    const char* changed;  // the file another program writes just before the commit
    std::function<std::string(const std::string& dir)> run;
  };
  const Case cases[] = {
      {"edit quote", "F1.DAT",
       [&](const std::string& dir) { return edit_close(dir, qdb::kOpSet, first + 1); }},
      {"delete the first quote", "MASTER",
       [&](const std::string& dir) { return edit_close(dir, qdb::kOpDelete, first); }},
      {"rename symbol", "MASTER",
       [](const std::string& dir) {
         return failure_of(core::rename_symbol(dir + "MASTER", "TEST", "NEW", "NAME"));
       }},
      {"delete symbol", "MASTER",
       [](const std::string& dir) {
         return failure_of(core::delete_symbol(dir, dir + "MASTER", "TEST"));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    testing_support::TempDir tmp;
    const std::string dir = tmp.dir();
    std::vector<qdb::QuoteBar> bars(3);
    for (int i = 0; i < 3; ++i) {
      bars[static_cast<std::size_t>(i)].date = first + i;
      bars[static_cast<std::size_t>(i)].close = 10.0f + static_cast<float>(i);
    }
    ASSERT_TRUE(qdb::create_portfolio(dir));
    ASSERT_TRUE(qdb::write_data_file(dir, 1, bars, qdb::default_layout(28), 28));
    ASSERT_TRUE(qdb::append_master_record(
        dir,
        qdb::make_master_record(1, "TEST", "ISSUE", 28, 7, bars.front().date, bars.back().date)));
    const std::string master = read_bytes(tmp.path() / "MASTER");
    const std::string quotes = read_bytes(tmp.path() / "F1.DAT");

    testing_support::HookedFileSystem hooked(qdb::native_file_system());
    const std::filesystem::path changed = tmp.path() / c.changed;
    hooked.before_commit_of(changed.string(), [&] { write_bytes(changed, "another program's"); });
    std::string failure;
    {
      testing_support::InstalledFileSystem installed(hooked);
      failure = c.run(dir);
    }
    EXPECT_NE(failure.find(std::string(c.changed) + " was changed by another program"),
              std::string::npos)
        << failure;
    EXPECT_EQ(read_bytes(changed), "another program's");
    EXPECT_EQ(read_bytes(tmp.path() / "MASTER"),
              c.changed == std::string("MASTER") ? "another program's" : master);
    EXPECT_EQ(read_bytes(tmp.path() / "F1.DAT"),
              c.changed == std::string("F1.DAT") ? "another program's" : quotes);
  }
}

}  // namespace
