// The quote command controllers on portfolios on disk: OK, Cancel and every failure message,
// the settings written (only after a success), the row the grid must show afterwards, Add
// followed by the Edit dialog, and parity with dorvane-cli byte for byte.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <map>
#include <memory>

#include "cli/cli_run.h"
#include "core/command_fixture.h"
#include "core/delete_quote.h"
#include "gui/base/settings_store.h"
#include "gui/edit/add_quote_command.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/adjust_command.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/date_edit.h"
#include "gui/edit/delete_quote_command.h"
#include "gui/edit/edit_quote_command.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/quotes_grid_loader.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/edit/split_command.h"
#include "gui/edit/split_dlg.h"
#include "gui_test_support.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace gui_test {
namespace {

using command_testing::SamplePortfolio;
using Runner = QuoteCommandOutcome (*)(const QuoteCommandContext&);

// The sample's grid rows, newest first: 0 Wed 01/05/00, 1 Tue 01/04/00, 2 Mon 01/03/00,
// 3 Thu 12/30/99, 4 Wed 12/29/99 (no Friday 12/31/99).
struct CommandCase;

class QuoteCommandsTest : public ::testing::Test {
 protected:
  // Loads the grid from dir as the view does after a fill.
  void load(const std::string& dir) {
    m_dir = dir;
    m_model.clear();
    ASSERT_EQ(load_quotes(m_model, dir, "TEST").status, QuoteLoadResult::Status::kOk);
  }
  QuoteCommandOutcome run(Runner runner, int row) {
    const ModelQuoteRows rows(m_model);
    const QuoteCommandContext context{nullptr, command_testing::view_of(m_dir, "TEST"),
                                      m_settings.store(), rows, row};
    return runner(context);
  }
  QString setting(const char* section, const char* name) {
    return m_settings.store().GetString(section, name, QStringLiteral("<none>"));
  }

  // A fresh copy of the sample portfolio, loaded into the grid; the one before is removed.
  SamplePortfolio& loadSample() {
    m_sample = std::make_unique<SamplePortfolio>();
    load(m_sample->dir());
    return *m_sample;
  }
  // None of the values a command would store after a success has been written.
  void expectNoSettings(const CommandCase& c);

  ScriptedPrompter m_prompter;
  SettingsSandbox m_settings;
  CQuotesGridModel m_model;
  std::string m_dir;
  std::unique_ptr<SamplePortfolio> m_sample;
};

void set_text(QLineEdit* field, const char* text) {
  field->selectAll();
  field->insert(QString::fromLatin1(text));
}

// The scripted entries of each command: fills the dialog and presses OK.
int edit_close(QDialog& d) {
  set_text(static_cast<CEditQuoteDlg&>(d).field(3), "99.5");
  return press_ok(d);
}
int split_two_for_one(QDialog& d) {
  auto& split = static_cast<CSplitDlg&>(d);
  split.dateEdit()->setDate(QStringLiteral("01/03/00"));
  set_text(split.newShares(), "2");
  return press_ok(d);
}
int adjust_range(QDialog& d) {
  auto& adjust = static_cast<CAdjustDlg&>(d);
  adjust.fromEdit()->setDate(QStringLiteral("12/30/99"));
  adjust.toEdit()->setDate(QStringLiteral("01/04/00"));
  set_text(adjust.priceEdit(), "0.5");
  set_text(adjust.volumeEdit(), "2");
  set_text(adjust.openInterestEdit(), "3");
  return press_ok(d);
}

struct CommandCase {
  const char* name;
  Runner run;
  int row;
  std::function<int(QDialog&)> fill;
  bool confirm;          // Delete asks Yes/No after OK
  const char* failure;   // the message of a failed rewrite
  int failureReloadRow;  // -1: no reload after a failure
  int successRow;        // the row current after the reload: the same day, the next older
                         // after Delete, the new day after Add
  const char* section;   // settings section and the values written
  std::map<std::string, std::string> settings;
  std::vector<std::string> cli;  // the same change through dorvane-cli (DIR after the name)
};

void QuoteCommandsTest::expectNoSettings(const CommandCase& c) {
  for (const auto& [name, text] : c.settings)
    EXPECT_EQ(setting(c.section, name.c_str()), "<none>") << name;
}

const std::vector<CommandCase>& command_cases() {
  static const std::vector<CommandCase> cases = {
      {"edit",
       runEditQuoteCommand,
       1,
       edit_close,
       false,
       "Single Date Edit Failed",
       -1,
       1,
       "Edit",
       {{"Date", "01/04/00"}, {"Open", "13.1250"}, {"Close", "99.5"}, {"Vol", "1014"}},
       {"edit-quote", "TEST", "01/04/00", "--close", "99.5"}},
      {"split",
       runSplitCommand,
       0,
       split_two_for_one,
       false,
       "Split Edit Failed",
       -1,
       0,
       "Split",
       {{"Date", "01/03/00"}, {"New", "2"}, {"Old", "1"}},
       {"split", "TEST", "01/03/00", "2", "1"}},
      {"adjust",
       runAdjustCommand,
       0,
       adjust_range,
       false,
       "Adjust Edit Failed",
       -1,
       0,
       "Adjust",
       {{"Date1", "12/30/99"},
        {"Date2", "01/04/00"},
        {"PriceMult", "0.5"},
        {"VolMult", "2"},
        {"OIMult", "3"}},
       {"adjust", "TEST", "12/30/99", "01/04/00", "--price", "0.5", "--volume", "2", "--oi", "3"}},
      {"delete",
       runDeleteQuoteCommand,
       1,
       press_ok,
       true,
       "Delete Edit Failed",
       -1,
       1,
       "Delete",
       {{"Date", "01/04/00"}},
       {"delete-quote", "TEST", "01/04/00"}},
      {"add",
       runAddQuoteCommand,
       2,
       press_ok,
       false,
       "Add Quote Failed",
       0,
       3,
       "Add",
       {{"Date", "12/31/99"}},
       {"add-quote", "TEST", "01/03/00"}},
  };
  return cases;
}

TEST_F(QuoteCommandsTest, CancelChangesAndWritesNothing) {
  for (const CommandCase& c : command_cases()) {
    SCOPED_TRACE(c.name);
    SamplePortfolio& p = loadSample();
    const std::string data = p.data();
    m_prompter.expectDialog([](QDialog&) { return QDialog::Rejected; });
    const QuoteCommandOutcome outcome = run(c.run, c.row);
    EXPECT_FALSE(outcome.reload);
    EXPECT_EQ(p.data(), data);
    expectNoSettings(c);
  }
  EXPECT_TRUE(m_prompter.messageTexts().empty());
}

TEST_F(QuoteCommandsTest, AFailedRewriteShowsItsMessageAndWritesNoSetting) {
  for (const CommandCase& c : command_cases()) {
    SCOPED_TRACE(c.name);
    SamplePortfolio& p = loadSample();
    const std::string data = p.data();
    const std::string master = p.master();
    testing_support::FailingFileSystem files;
    files.fail_create(1, "F1.NEW");
    testing_support::InstalledFileSystem installed(files);
    m_prompter.expectDialog(c.fill);
    if (c.confirm) m_prompter.expectMessage(Prompter::Answer::Yes);
    m_prompter.expectMessage(Prompter::Answer::Ok);
    const auto shown = m_prompter.messageTexts().size();
    const QuoteCommandOutcome outcome = run(c.run, c.row);
    // The failure's own text, then the cause the file system gave.
    EXPECT_EQ(m_prompter.messageTexts().back().section('\n', 0, 0), c.failure);
    EXPECT_EQ(m_prompter.messageTexts().size(), shown + (c.confirm ? 2 : 1));
    EXPECT_EQ(outcome.reload, c.failureReloadRow >= 0);
    if (outcome.reload) {
      EXPECT_EQ(outcome.row, c.failureReloadRow);
    }
    EXPECT_FALSE(outcome.editAfter);
    EXPECT_EQ(p.data(), data);
    EXPECT_EQ(p.master(), master);
    expectNoSettings(c);
  }
}

TEST_F(QuoteCommandsTest, OkChangesTheFilesAsDorvaneCliDoesAndWritesTheSettings) {
  for (const CommandCase& c : command_cases()) {
    SCOPED_TRACE(c.name);
    SamplePortfolio app;
    SamplePortfolio cli;
    ASSERT_EQ(testing_support::files_in(app.dir()), testing_support::files_in(cli.dir()));
    load(app.dir());
    m_prompter.expectDialog(c.fill);
    if (c.confirm) m_prompter.expectMessage(Prompter::Answer::Yes);
    const QuoteCommandOutcome outcome = run(c.run, c.row);
    EXPECT_TRUE(outcome.reload);
    EXPECT_EQ(outcome.row, c.successRow);
    for (const auto& [name, text] : c.settings)
      EXPECT_EQ(setting(c.section, name.c_str()).toStdString(), text) << name;

    std::vector<std::string> args = c.cli;
    args.insert(args.begin() + 1, cli.dir());
    const testing_support::CliResult result = testing_support::run_cli(args);
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(testing_support::files_in(app.dir()), testing_support::files_in(cli.dir()));
    EXPECT_NE(testing_support::files_in(app.dir()).at("F1.DAT"), SamplePortfolio().data());
  }
}

struct RefusedCase {
  const char* name;
  Runner run;
  std::function<void(QDialog&)> fill;
};

TEST_F(QuoteCommandsTest, RefusedEntriesKeepTheDialogOpenWithTheUsersTexts) {
  auto split = [](const char* date, const char* newShares, const char* oldShares) {
    return [=](QDialog& d) {
      auto& dialog = static_cast<CSplitDlg&>(d);
      dialog.dateEdit()->setDate(QString::fromLatin1(date));
      set_text(dialog.newShares(), newShares);
      set_text(dialog.oldShares(), oldShares);
    };
  };
  auto adjust = [](const char* from, const char* price, const char* oi) {
    return [=](QDialog& d) {
      auto& dialog = static_cast<CAdjustDlg&>(d);
      dialog.fromEdit()->setDate(QString::fromLatin1(from));
      set_text(dialog.priceEdit(), price);
      set_text(dialog.openInterestEdit(), oi);
    };
  };
  const RefusedCase cases[] = {
      {"split after the newest quote", runSplitCommand, split("01/06/00", "2", "1")},
      {"split before the oldest quote", runSplitCommand, split("12/28/99", "2", "1")},
      {"split on no calendar date", runSplitCommand, split("02/30/00", "2", "1")},
      {"split to 0 new shares", runSplitCommand, split("01/03/00", "0", "1")},
      {"split from no old shares", runSplitCommand, split("01/03/00", "2", ".")},
      {"adjust from a day before the oldest", runAdjustCommand, adjust("12/28/99", "1", "1")},
      {"adjust by a price of 0", runAdjustCommand, adjust("12/29/99", "0", "1")},
      {"adjust by letters", runAdjustCommand, adjust("12/29/99", "1", "x")},
      {"edit a close of a lone point", runEditQuoteCommand,
       [](QDialog& d) { set_text(static_cast<CEditQuoteDlg&>(d).field(3), "."); }},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.name);
    SamplePortfolio& p = loadSample();
    const std::string data = p.data();
    m_prompter.expectDialog([&](QDialog& d) {
      c.fill(d);
      const QStringList before = [&] {
        QStringList texts;
        for (const QLineEdit* e : d.findChildren<QLineEdit*>()) texts << e->text();
        return texts;
      }();
      EXPECT_EQ(press_ok(d), QDialog::Rejected);  // still open
      QStringList after;
      for (const QLineEdit* e : d.findChildren<QLineEdit*>()) after << e->text();
      EXPECT_EQ(after, before);
      return QDialog::Rejected;  // then Cancel
    });
    m_prompter.expectMessage(Prompter::Answer::Ok);
    EXPECT_FALSE(run(c.run, 1).reload);
    EXPECT_EQ(m_prompter.messageTexts().back().section(u'\n', 0, 0), "Invalid Data Entered");
    EXPECT_EQ(m_prompter.messageTexts().back().count(u'\n'), 1) << "one cause";
    EXPECT_EQ(p.data(), data);
  }
}

TEST_F(QuoteCommandsTest, EditWritesTheDayShownAfterSteppingAndKeepsUntouchedFields) {
  SamplePortfolio p;
  load(p.dir());
  const auto before = command_testing::read_bars(p.dir(), "TEST");
  m_prompter.expectDialog([](QDialog& d) {
    auto& dialog = static_cast<CEditQuoteDlg&>(d);
    set_text(dialog.field(4), "5");  // discarded by the step
    dialog.nextButton()->click();    // 01/05/00
    set_text(dialog.field(0), "1.5");
    return press_ok(d);
  });
  const QuoteCommandOutcome outcome = run(runEditQuoteCommand, 1);
  EXPECT_TRUE(outcome.reload);
  EXPECT_EQ(outcome.row, 0);
  const auto after = command_testing::read_bars(p.dir(), "TEST");
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[4].open, 1.5f);
  EXPECT_EQ(after[4].high, before[4].high);  // never rounded to the grid's four decimals
  EXPECT_EQ(after[3].volume, before[3].volume);
  EXPECT_EQ(setting("Edit", "Date"), "01/05/00");
}

TEST_F(QuoteCommandsTest, DeletingADateGoneFromTheFileShowsBothMessages) {
  SamplePortfolio p;
  load(p.dir());
  ASSERT_TRUE(core::delete_quote(p.view(), "01/04/00").ok);  // behind the grid's back
  m_prompter.expectDialog(press_ok);
  m_prompter.expectMessage(Prompter::Answer::Yes);
  m_prompter.expectMessage(Prompter::Answer::Ok);
  m_prompter.expectMessage(Prompter::Answer::Ok);
  EXPECT_FALSE(run(runDeleteQuoteCommand, 1).reload);
  EXPECT_EQ(m_prompter.messageTexts().mid(1),
            QStringList({"failure in delete quote for findrec", "Delete Edit Failed"}));
  EXPECT_EQ(setting("Delete", "Date"), "<none>");
}

struct AddCase {
  const char* name;
  std::vector<int> bars;  // which of the sample's bars the series holds
  int row;
  const char* newDate;
};

TEST_F(QuoteCommandsTest, AddInsertsACopyThenOpensTheEditorOnIt) {
  const AddCase cases[] = {
      {"Monday without the Friday", {0, 1, 2, 3, 4}, 2, "12/31/99"},
      {"Wednesday without the Tuesday", {0, 1, 2, 4}, 0, "01/04/00"},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<qdb::QuoteBar> bars;
    for (int i : c.bars)
      bars.push_back(command_testing::sample_bars()[static_cast<std::size_t>(i)]);
    SamplePortfolio p(bars);
    load(p.dir());
    const QStringList copied = [&] {
      QStringList texts;
      for (int column = 1; column < 7; ++column) texts << m_model.text(c.row, column);
      return texts;
    }();
    m_prompter.expectDialog([&](QDialog& d) {
      EXPECT_EQ(static_cast<CAddQuoteDlg&>(d).newDateText(), c.newDate);
      return press_ok(d);
    });
    const QuoteCommandOutcome outcome = run(runAddQuoteCommand, c.row);
    ASSERT_TRUE(outcome.reload);
    EXPECT_EQ(outcome.row, c.row + 1);
    EXPECT_TRUE(outcome.editAfter);

    // The view reloads with the new quote current, then runs Edit; the user cancels it.
    load(p.dir());
    ASSERT_EQ(m_model.text(outcome.row, 0), c.newDate);
    m_prompter.expectDialog([&](QDialog& d) {
      auto& dialog = static_cast<CEditQuoteDlg&>(d);
      EXPECT_EQ(dialog.dateText(), c.newDate);
      for (int i = 0; i < 6; ++i) EXPECT_EQ(dialog.field(i)->text(), copied[i]);
      return QDialog::Rejected;
    });
    EXPECT_FALSE(run(runEditQuoteCommand, outcome.row).reload);
    EXPECT_EQ(command_testing::read_bars(p.dir(), "TEST").size(), bars.size() + 1);
    EXPECT_EQ(setting("Add", "Date"), c.newDate);
  }
  EXPECT_TRUE(m_prompter.messageTexts().empty());
}

TEST_F(QuoteCommandsTest, AddOnAMondayWhoseFridayExistsSaysSoAndOpensNoDialog) {
  std::vector<qdb::QuoteBar> bars = command_testing::sample_bars();
  qdb::QuoteBar friday = bars[1];
  friday.date = command_testing::day(1999, 12, 31);
  bars.insert(bars.begin() + 2, friday);
  SamplePortfolio p(bars);
  load(p.dir());
  const std::string data = p.data();
  m_prompter.expectMessage(Prompter::Answer::Ok);
  EXPECT_FALSE(run(runAddQuoteCommand, 2).reload);
  EXPECT_EQ(m_prompter.messageTexts(), QStringList({"Date 12/31/99 already exists."}));
  EXPECT_TRUE(m_prompter.dialogTitles().empty());
  EXPECT_EQ(p.data(), data);
}

}  // namespace
}  // namespace gui_test
