// The quote commands on an intraday series in the app: Edit and Delete show the bar's time,
// Edit steps bar by bar, a command changes the one record of the selected row (checked against
// its date and time), Add copies the first bar of the following date, and the files end as
// dorvane-cli leaves them.
#include <gtest/gtest.h>

#include <QPushButton>

#include <filesystem>
#include <map>

#include "cli/cli_run.h"
#include "core/command_fixture.h"
#include "core/delete_quote.h"
#include "gui/base/settings_store.h"
#include "gui/edit/add_quote_command.h"
#include "gui/edit/delete_quote_command.h"
#include "gui/edit/delete_quote_dlg.h"
#include "gui/edit/edit_quote_command.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui_test_support.h"
#include "support/intraday_portfolio.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace gui_test {
namespace {

using Runner = QuoteCommandOutcome (*)(const QuoteCommandContext&);
using testing_support::intraday_record;
using testing_support::kIntradayRecord;

// The grid is newest first and holds the 15 records: row r shows record 14 - r.
int row_of(int record) { return 14 - record; }

struct Intraday {
  Intraday() { testing_support::make_intraday_portfolio(temp.dir()); }
  std::string data() const { return testing_support::read_bytes(temp.path() / "F1.DAT"); }
  testing_support::TempDir temp;
};

class IntradayCommandsTest : public ::testing::Test {
 protected:
  void load(const std::string& dir) {
    m_dir = dir;
    m_model.clear();
    ASSERT_EQ(load_quotes(m_model, dir, "ES").status, QuoteLoadResult::Status::kOk);
  }
  QuoteCommandOutcome run(Runner runner, int row) {
    const ModelQuoteRows rows(m_model);
    const QuoteCommandContext context{nullptr, command_testing::view_of(m_dir, "ES"),
                                      m_settings.store(), rows, row};
    return runner(context);
  }

  ScriptedPrompter m_prompter;
  SettingsSandbox m_settings;
  CQuotesGridModel m_model;
  std::string m_dir;
};

void set_close(QDialog& d, const char* text) {
  QLineEdit* close = static_cast<CEditQuoteDlg&>(d).field(3);
  close->selectAll();
  close->insert(QString::fromLatin1(text));
}

// Edit on Thursday's midday bar: the steps go to the bar before and back.
int edit_midday(QDialog& d) {
  auto& dialog = static_cast<CEditQuoteDlg&>(d);
  EXPECT_EQ(dialog.dateText(), "05/05/11");
  EXPECT_EQ(dialog.timeText(), "11:30:37");
  dialog.previousButton()->click();
  EXPECT_EQ(dialog.timeText(), "09:30:00");
  EXPECT_EQ(dialog.dateText(), "05/05/11");
  dialog.nextButton()->click();
  EXPECT_EQ(dialog.timeText(), "11:30:37");
  set_close(d, "999");
  return press_ok(d);
}

int delete_shown(QDialog& d) {
  EXPECT_EQ(static_cast<CDeleteQuoteDlg&>(d).timeText(), "16:00:00");
  return press_ok(d);
}

TEST_F(IntradayCommandsTest, EditAndDeleteOfOneBarChangeTheFilesAsDorvaneCliDoes) {
  const struct {
    const char* name;
    Runner run;
    int record;
    std::function<int(QDialog&)> fill;
    bool confirm;
    std::vector<std::string> cli;
  } cases[] = {
      {"edit",
       runEditQuoteCommand,
       7,
       edit_midday,
       false,
       {"edit-quote", "ES", "05/05/11", "--time", "11:30:37", "--close", "999"}},
      {"delete",
       runDeleteQuoteCommand,
       11,
       delete_shown,
       true,
       {"delete-quote", "ES", "05/06/11", "--time", "16:00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Intraday app;
    Intraday cli;
    const std::string before = app.data();
    load(app.temp.dir());
    m_prompter.expectDialog(c.fill);
    if (c.confirm) m_prompter.expectMessage(Prompter::Answer::Yes);
    EXPECT_TRUE(run(c.run, row_of(c.record)).reload);
    if (c.confirm) {
      EXPECT_EQ(m_prompter.messageTexts().back(),
                "You are about to delete the data for date\n05/06/11 16:00:00\nAre you sure?");
    }
    std::vector<std::string> args = c.cli;
    args.insert(args.begin() + 1, cli.temp.dir());
    const testing_support::CliResult result = testing_support::run_cli(args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(testing_support::files_in(app.temp.dir()), testing_support::files_in(cli.temp.dir()));
    EXPECT_NE(app.data(), before);
  }
}

TEST_F(IntradayCommandsTest, ACommandOnARepeatedBarChangesOnlyTheRecordOfItsRow) {
  const struct {
    const char* name;
    Runner run;
    int record;  // a repeat of Tuesday's bar; the first copy stays as it was
    std::function<int(QDialog&)> fill;
    bool confirm;
  } cases[] = {
      {"edit", runEditQuoteCommand, 12,
       [](QDialog& d) {
         set_close(d, "999");
         return press_ok(d);
       },
       false},
      {"delete", runDeleteQuoteCommand, 13, press_ok, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Intraday p;
    const std::string before = p.data();
    load(p.temp.dir());
    m_prompter.expectDialog(c.fill);
    if (c.confirm) m_prompter.expectMessage(Prompter::Answer::Yes);
    EXPECT_TRUE(run(c.run, row_of(c.record)).reload);
    const std::string after = p.data();
    if (c.confirm) {
      std::string expected = before;
      expected.erase(static_cast<std::size_t>(c.record + 1) * kIntradayRecord, kIntradayRecord);
      EXPECT_EQ(after.substr(kIntradayRecord), expected.substr(kIntradayRecord));
    } else {
      for (int k = 0; k < 15; ++k)
        EXPECT_EQ(intraday_record(after, k) != intraday_record(before, k), k == c.record) << k;
    }
  }
}

TEST_F(IntradayCommandsTest, ARowWhoseRecordChangedBehindTheGridIsRefused) {
  Intraday p;
  load(p.temp.dir());
  // Another program deletes Monday's first bar: every later record moves up one place.
  ASSERT_TRUE(core::delete_quote(command_testing::view_of(p.temp.dir(), "ES"), "05/02/11",
                                 {9 * 3600 + 30 * 60, 0, false})
                  .ok);
  const std::string changed = p.data();
  m_prompter.expectDialog([](QDialog& d) {
    set_close(d, "999");
    return press_ok(d);
  });
  m_prompter.expectMessage(Prompter::Answer::Ok);
  EXPECT_FALSE(run(runEditQuoteCommand, row_of(7)).reload);
  EXPECT_EQ(m_prompter.messageTexts(),
            QStringList({"Single Date Edit Failed\nThe file changed: F1.DAT no longer holds the "
                         "quote of 05/05/11 11:30:37 at its place. Reload the quotes and try "
                         "again."}));
  EXPECT_EQ(p.data(), changed);
}

TEST_F(IntradayCommandsTest, AddCopiesTheFirstBarOfTheDateAndEditOpensOnTheCopy) {
  Intraday p;
  load(p.temp.dir());
  m_prompter.expectDialog(press_ok);  // "05/04/11", before Thursday's 16:00:00 bar
  const QuoteCommandOutcome outcome = run(runAddQuoteCommand, row_of(8));
  ASSERT_TRUE(outcome.reload);
  EXPECT_TRUE(outcome.editAfter);
  load(p.temp.dir());
  EXPECT_EQ(outcome.row, 15 - 6);  // the copy is record 6 of 16
  EXPECT_EQ(m_model.text(outcome.row, 0), "05/04/11");
  EXPECT_EQ(m_model.text(outcome.row, CQuotesGridModel::kTimeColumn), "09:30:00");
  EXPECT_EQ(m_model.text(outcome.row, 4), m_model.text(outcome.row - 1, 4));
  EXPECT_EQ(m_model.text(outcome.row - 1, 0), "05/05/11");
  EXPECT_TRUE(m_prompter.messageTexts().empty());
}

// A daily file that holds a date twice (a vendor's repeated day): the app's command goes to the
// record of the selected row, never to its twin.
TEST_F(IntradayCommandsTest, ADailyDateHeldTwiceIsChangedOnlyInTheSelectedRow) {
  std::vector<qdb::QuoteBar> bars;
  for (int day : {3, 4, 5, 4}) {
    const auto p = static_cast<float>(10 * bars.size() + 10);
    bars.push_back({qdb::date_serial(2000, 1, day), 0, p, p + 1, p - 1, p, 100, 0});
  }
  constexpr std::size_t kRecord = 28;
  const struct {
    const char* name;
    Runner run;
    int record;  // 1 or its twin 3; the grid shows record r at row 3 - r
    std::function<int(QDialog&)> fill;
    bool confirm;
  } cases[] = {
      {"edit first", runEditQuoteCommand, 1,
       [](QDialog& d) {
         set_close(d, "999");
         return press_ok(d);
       },
       false},
      {"edit twin", runEditQuoteCommand, 3,
       [](QDialog& d) {
         set_close(d, "999");
         return press_ok(d);
       },
       false},
      {"delete first", runDeleteQuoteCommand, 1, press_ok, true},
      {"delete twin", runDeleteQuoteCommand, 3, press_ok, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir temp;
    testing_support::make_portfolio(temp.dir(), {{1, "ES", "E-MINI", bars}});
    const std::string before = testing_support::read_bytes(temp.path() / "F1.DAT");
    load(temp.dir());
    m_prompter.expectDialog(c.fill);
    if (c.confirm) m_prompter.expectMessage(Prompter::Answer::Yes);
    EXPECT_TRUE(run(c.run, 3 - c.record).reload);
    const std::string after = testing_support::read_bytes(temp.path() / "F1.DAT");
    const auto at = [&](const std::string& data, int k) {
      return data.substr(static_cast<std::size_t>(k + 1) * kRecord, kRecord);
    };
    if (c.confirm) {
      std::string expected = before;
      expected.erase(static_cast<std::size_t>(c.record + 1) * kRecord, kRecord);
      EXPECT_EQ(after.substr(kRecord), expected.substr(kRecord));
    } else {
      for (int k = 0; k < 4; ++k) EXPECT_EQ(at(after, k) != at(before, k), k == c.record) << k;
    }
  }
}

}  // namespace
}  // namespace gui_test
