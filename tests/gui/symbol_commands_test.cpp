// The symbol commands' dialogs and controllers: scripted answers (OK, Cancel, No, failures),
// and parity with dorvane-cli on a second copy of the same portfolios, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include "cli/cli_run.h"
#include "gui/symbols/delete_symbol_command.h"
#include "gui/symbols/delete_symbol_dlg.h"
#include "gui/symbols/edit_symbol_command.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "gui/symbols/move_symbol_dlg.h"
#include "gui/symbols/transfer_symbol_command.h"
#include "gui_test_support.h"
#include "qdb/master.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_bytes;

// Every file below root, by relative path, with its bytes.
std::map<std::string, std::string> treeBytes(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).string()] = read_bytes(entry.path());
  return files;
}

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

// Three portfolios: "src" (CCC F1, AAA F2 with a layout file, BBB F3), "dst" (ZZZ F1) and
// "other" (AAA F1, so copying AAA there is refused).
class SymbolPortfolios {
 public:
  SymbolPortfolios() {
    gui_test::make_portfolio(src(), {{1, "CCC", "Charlie Co", gui_test::daily_bars(3), 28, false},
                                     {2, "AAA", "Alpha Inc", gui_test::daily_bars(4), 28, false},
                                     {3, "BBB", "Bravo", gui_test::daily_bars(2), 20, false}});
    EXPECT_TRUE(qdb::write_dop_file(src().string(), 2, qdb::default_layout(28)));
    gui_test::make_portfolio(dst(), {{1, "ZZZ", "Zulu", gui_test::daily_bars(3), 28, false}});
    gui_test::make_portfolio(other(),
                             {{1, "AAA", "Another Alpha", gui_test::daily_bars(3), 28, false}});
    gui_test::make_portfolio(full(), {{1, "FUL", "Full", gui_test::daily_bars(3), 28, false}});
    // Its header claims 255 symbols.
    std::string master = read_bytes(full() / "MASTER");
    master[0] = char(255);
    testing_support::write_bytes(full() / "MASTER", master);
  }
  fs::path root() const { return m_temp.path(); }
  fs::path src() const { return root() / "src"; }
  fs::path dst() const { return root() / "dst"; }
  fs::path other() const { return root() / "other"; }
  fs::path full() const { return root() / "full"; }

  // The view's state with the row of symbol current in src (name as the grid shows it).
  SymbolCommandContext context(const QString& symbol, const QString& name) const {
    SymbolCommandContext c;
    c.portfolioDir = q(src());
    c.masterPath = q(src() / "MASTER");
    c.rowSymbol = symbol;
    c.rowName = name.leftJustified(16, QLatin1Char(' '));
    c.currentSymbol = symbol;
    c.currentName = c.rowName;
    c.portfolios = {q(src()), q(other()), q(dst()), q(full())};
    c.selectedPortfolio = q(src());
    return c;
  }

 private:
  testing_support::TempDir m_temp;
};

// Scripts a dialog of type D: fill it, then press OK (accept) and report its result.
template <typename D>
gui_test::ScriptedPrompter::DialogScript answer(std::function<void(D&)> fill) {
  return [fill](QDialog& dialog) {
    D* typed = qobject_cast<D*>(&dialog);
    EXPECT_NE(typed, nullptr) << dialog.windowTitle().toStdString();
    if (typed == nullptr) return int(QDialog::Rejected);
    fill(*typed);
    return dialog.result();
  };
}

gui_test::ScriptedPrompter::DialogScript rejected() {
  return [](QDialog&) { return int(QDialog::Rejected); };
}

TEST(EditSymbolTest, StartsWithTheRowAndKeepsTheDialogOpenForAnEmptySymbol) {
  SymbolPortfolios p;
  const std::string before = read_bytes(p.src() / "MASTER");
  gui_test::ScriptedPrompter prompter;
  prompter.expectDialog(answer<CEditSymbolDlg>([&](CEditSymbolDlg& d) {
    EXPECT_EQ(d.windowTitle(), "Edit Symbol");
    EXPECT_EQ(d.symbol(), "AAA");
    EXPECT_EQ(d.name(), "Alpha Inc");  // trailing blanks gone
    EXPECT_EQ(d.symbolEdit()->maxLength(), 16);
    QSignalSpy accepted(&d, &QDialog::accepted);
    d.symbolEdit()->clear();
    d.accept();  // refused: the message, and the dialog stays open
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_EQ(read_bytes(p.src() / "MASTER"), before);
    d.symbolEdit()->setText("aa b");
    d.nameEdit()->setText(" New name");
    d.accept();
    EXPECT_EQ(accepted.count(), 1);
  }));
  prompter.expectMessage(Prompter::Answer::Ok);

  const SymbolCommandOutcome outcome = runEditSymbol(p.context("AAA", "Alpha Inc"));
  EXPECT_EQ(prompter.messageTexts(), QStringList{"You must enter a symbol"});
  EXPECT_EQ(outcome.followUp, ViewFollowUp::UpdateSymbolRow);
  EXPECT_EQ(outcome.newSymbol, "aa b");  // as typed: case and blanks kept
  EXPECT_EQ(outcome.newName, " New name");
  EXPECT_EQ(read_bytes(p.src() / "MASTER.BAK"), before);
}

TEST(EditSymbolTest, CancelAndFailuresChangeNothing) {
  struct Case {
    const char* what;
    QString rowSymbol;
    bool ok;
    QString message;
  };
  SymbolPortfolios p;
  const QString master = q(p.src() / "MASTER");
  const std::vector<Case> cases = {
      {"cancel", "AAA", false, {}},
      {"row gone from the MASTER", "QQQ", true,
       "Symbol QQQ was not found in\n" + master + "\nNothing was changed."},
  };
  const std::string before = read_bytes(p.src() / "MASTER");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gui_test::ScriptedPrompter prompter;
    if (c.ok) {
      prompter.expectDialog(answer<CEditSymbolDlg>([](CEditSymbolDlg& d) { d.accept(); }));
      prompter.expectMessage(Prompter::Answer::Ok);
    } else {
      prompter.expectDialog(rejected());
    }
    const SymbolCommandOutcome outcome = runEditSymbol(p.context(c.rowSymbol, "Name"));
    EXPECT_EQ(outcome.followUp, ViewFollowUp::None);
    EXPECT_EQ(prompter.messageTexts().join("|"), c.message);
    EXPECT_EQ(read_bytes(p.src() / "MASTER"), before);
    EXPECT_FALSE(fs::exists(p.src() / "MASTER.BAK"));
  }
}

TEST(DeleteSymbolTest, AsksWithNoAsTheDefaultAndOnlyYesDeletes) {
  SymbolPortfolios p;
  const auto before = treeBytes(p.root());
  {
    gui_test::ScriptedPrompter prompter;
    prompter.expectDialog(answer<CDeleteSymbolDlg>([](CDeleteSymbolDlg& d) {
      EXPECT_EQ(d.windowTitle(), "Delete Symbol");
      EXPECT_EQ(d.symbol(), "AAA");
      EXPECT_TRUE(d.noButton()->isDefault());
      EXPECT_FALSE(d.yesButton()->isDefault());
      d.noButton()->click();
    }));
    EXPECT_EQ(runDeleteSymbol(p.context("AAA", "Alpha Inc")).followUp, ViewFollowUp::None);
    EXPECT_EQ(prompter.beeps, 1);  // the question beep
  }
  EXPECT_EQ(treeBytes(p.root()), before);

  gui_test::ScriptedPrompter prompter;
  prompter.expectDialog(
      answer<CDeleteSymbolDlg>([](CDeleteSymbolDlg& d) { d.yesButton()->click(); }));
  EXPECT_EQ(runDeleteSymbol(p.context("AAA", "Alpha Inc")).followUp, ViewFollowUp::ReloadSymbols);
  EXPECT_TRUE(prompter.messageTexts().isEmpty());
  EXPECT_FALSE(fs::exists(p.src() / "F2.DAT"));
  EXPECT_FALSE(fs::exists(p.src() / "F2.DOP"));
  EXPECT_TRUE(fs::exists(p.src() / "F1.DAT"));
}

TEST(DeleteSymbolTest, ATrashOnAnotherFileSystemAsksWhetherToDeleteInstead) {
  SymbolPortfolios p;
  std::error_code ec;
  const fs::path other = "/dev/shm/dorvane-gui-trash-" + std::to_string(::getpid());
  if (!fs::create_directory(other, ec)) GTEST_SKIP() << "/dev/shm is not writable";
  const std::string home = std::getenv("XDG_DATA_HOME");
  ::setenv("XDG_DATA_HOME", other.c_str(), 1);
  const auto before = treeBytes(p.root());
  QStringList asked;
  ViewFollowUp kept = ViewFollowUp::ReloadSymbols;
  ViewFollowUp deleted = ViewFollowUp::None;
  for (const Prompter::Answer reply : {Prompter::Answer::No, Prompter::Answer::Yes}) {
    gui_test::ScriptedPrompter prompter;
    prompter.expectDialog(
        answer<CDeleteSymbolDlg>([](CDeleteSymbolDlg& d) { d.yesButton()->click(); }));
    prompter.expectMessage(reply);
    const ViewFollowUp followUp = runDeleteSymbol(p.context("AAA", "Alpha Inc")).followUp;
    (reply == Prompter::Answer::No ? kept : deleted) = followUp;
    if (reply == Prompter::Answer::No) {
      EXPECT_EQ(treeBytes(p.root()), before);
    }
    asked += prompter.messageTexts();
  }
  ::setenv("XDG_DATA_HOME", home.c_str(), 1);
  const bool trash_made = fs::exists(other / "Trash");
  fs::remove_all(other, ec);
  if (asked.isEmpty()) GTEST_SKIP() << "/dev/shm is on the portfolio's file system";
  ASSERT_EQ(asked.size(), 2);
  EXPECT_TRUE(asked[0].contains("another file system")) << asked[0].toStdString();
  EXPECT_TRUE(asked[0].endsWith("Delete the symbol's files instead?"));
  EXPECT_EQ(kept, ViewFollowUp::None);
  EXPECT_EQ(deleted, ViewFollowUp::ReloadSymbols);
  EXPECT_FALSE(fs::exists(p.src() / "F2.DAT") || fs::exists(p.src() / "F2.DOP"));
  EXPECT_FALSE(trash_made);
}

TEST(DeleteSymbolTest, ARowNoLongerInTheMasterIsReportedAndNothingIsDeleted) {
  SymbolPortfolios p;
  const auto before = treeBytes(p.root());
  gui_test::ScriptedPrompter prompter;
  prompter.expectDialog(
      answer<CDeleteSymbolDlg>([](CDeleteSymbolDlg& d) { d.yesButton()->click(); }));
  prompter.expectMessage(Prompter::Answer::Ok);
  EXPECT_EQ(runDeleteSymbol(p.context("QQQ", "Gone")).followUp, ViewFollowUp::None);
  EXPECT_EQ(prompter.messageTexts().size(), 1);
  EXPECT_EQ(treeBytes(p.root()), before);
}

TEST(MoveSymbolDlgTest, OffersEveryOtherPortfolioSortedWithTheFirstSelected) {
  const QStringList listed = {"/p/zeta", "/p/alpha", "/p/mid", "/p/beta"};
  for (const bool move : {true, false}) {
    CMoveSymbolDlg dialog("AAA", "Alpha", "/p/mid", listed, "/p/mid",
                          move ? core::TransferMode::Move : core::TransferMode::Copy);
    EXPECT_EQ(dialog.windowTitle(), move ? "Move Symbol" : "Copy Symbol");
    QStringList offered;
    for (int i = 0; i < dialog.portfolioList()->count(); ++i)
      offered << dialog.portfolioList()->item(i)->text();
    EXPECT_EQ(offered, (QStringList{"/p/alpha", "/p/beta", "/p/zeta"}));
    ASSERT_EQ(dialog.portfolioList()->selectedItems().size(), 1);
    EXPECT_EQ(dialog.portfolioList()->selectedItems().first()->text(), "/p/alpha");
    EXPECT_TRUE(dialog.destination().isEmpty());
    dialog.accept();
    EXPECT_EQ(dialog.destination(), "/p/alpha");
  }
}

TEST(TransferSymbolTest, CancelNoChoiceAndRefusalsChangeNothing) {
  struct Case {
    const char* what;
    bool move;
    std::function<int(QDialog&)> script;
    QString message;
  };
  SymbolPortfolios p;
  const auto pick = [](const fs::path& dest) {
    return answer<CMoveSymbolDlg>([dest](CMoveSymbolDlg& d) {
      const QList<QListWidgetItem*> found = d.portfolioList()->findItems(q(dest), Qt::MatchExactly);
      d.portfolioList()->clearSelection();
      if (!found.isEmpty()) found.first()->setSelected(true);
      d.accept();
    });
  };
  const std::vector<Case> cases = {
      {"move cancelled", true, rejected(), {}},
      {"copy cancelled", false, rejected(), {}},
      {"OK with nothing selected", true, pick("/nowhere"), {}},
      {"already in the destination", true, pick(p.other()),
       "The Symbol addition failed.\n\nReason: Symbol AAA already exists in\n" + q(p.other()) +
           "\nas F1 AAA (Another Alpha)."},
      // Its header claims 255 symbols but it lists one: a damaged MASTER is never extended.
      {"destination damaged", false, pick(p.full()),
       "The Symbol addition failed.\n\nReason: The MASTER file in\n" + q(p.full()) +
           "\nis damaged: its header counts 255 symbols but it holds 1. Repair it first."},
  };
  const auto before = treeBytes(p.root());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gui_test::ScriptedPrompter prompter;
    prompter.expectDialog(c.script);
    if (!c.message.isEmpty()) prompter.expectMessage(Prompter::Answer::Ok);
    EXPECT_EQ(runTransferSymbol(p.context("AAA", "Alpha Inc"),
                                c.move ? core::TransferMode::Move : core::TransferMode::Copy)
                  .followUp,
              ViewFollowUp::None);
    EXPECT_EQ(prompter.messageTexts().join("|"), c.message);
    EXPECT_EQ(treeBytes(p.root()), before);
  }
}

// One command run through its controller on one copy and through dorvane-cli on another.
struct ParityCase {
  const char* what;
  std::function<void(gui_test::ScriptedPrompter&, const SymbolPortfolios&)> script;
  std::function<SymbolCommandOutcome(const SymbolPortfolios&)> run;
  ViewFollowUp followUp;
  std::function<std::vector<std::string>(const SymbolPortfolios&)> cli;
};

TEST(SymbolParityTest, ControllersAndCliLeaveTheSameBytes) {
  const auto pickDst = [](gui_test::ScriptedPrompter& prompter, const SymbolPortfolios& p) {
    prompter.expectDialog(answer<CMoveSymbolDlg>([&p](CMoveSymbolDlg& d) {
      d.portfolioList()->findItems(q(p.dst()), Qt::MatchExactly).first()->setSelected(true);
      d.accept();
    }));
  };
  const std::vector<ParityCase> cases = {
      {"rename",
       [](gui_test::ScriptedPrompter& prompter, const SymbolPortfolios&) {
         prompter.expectDialog(answer<CEditSymbolDlg>([](CEditSymbolDlg& d) {
           d.symbolEdit()->setText("ABCDEFGHIJKLMNOP");
           d.nameEdit()->setText("");
           d.accept();
         }));
       },
       [](const SymbolPortfolios& p) { return runEditSymbol(p.context("BBB", "Bravo")); },
       ViewFollowUp::UpdateSymbolRow,
       [](const SymbolPortfolios& p) {
         return std::vector<std::string>{"rename-symbol",    p.src().string(), "BBB",
                                         "ABCDEFGHIJKLMNOP", "--name",         ""};
       }},
      {"delete",
       [](gui_test::ScriptedPrompter& prompter, const SymbolPortfolios&) {
         prompter.expectDialog(
             answer<CDeleteSymbolDlg>([](CDeleteSymbolDlg& d) { d.yesButton()->click(); }));
       },
       [](const SymbolPortfolios& p) { return runDeleteSymbol(p.context("CCC", "Charlie Co")); },
       ViewFollowUp::ReloadSymbols,
       [](const SymbolPortfolios& p) {
         return std::vector<std::string>{"delete-symbol", p.src().string(), "CCC"};
       }},
      {"move", pickDst,
       [](const SymbolPortfolios& p) {
         return runTransferSymbol(p.context("AAA", "Alpha Inc"), core::TransferMode::Move);
       },
       ViewFollowUp::ReloadSymbols,
       [](const SymbolPortfolios& p) {
         return std::vector<std::string>{"move-symbol", p.src().string(), "AAA", p.dst().string()};
       }},
      {"copy", pickDst,
       [](const SymbolPortfolios& p) {
         return runTransferSymbol(p.context("AAA", "Alpha Inc"), core::TransferMode::Copy);
       },
       ViewFollowUp::None,
       [](const SymbolPortfolios& p) {
         return std::vector<std::string>{"copy-symbol", p.src().string(), "AAA", p.dst().string()};
       }},
  };
  for (const ParityCase& c : cases) {
    SCOPED_TRACE(c.what);
    const SymbolPortfolios app;
    const SymbolPortfolios cli;
    const auto before = treeBytes(app.root());
    ASSERT_EQ(treeBytes(cli.root()), before);
    {
      gui_test::ScriptedPrompter prompter;
      c.script(prompter, app);
      EXPECT_EQ(c.run(app).followUp, c.followUp);
      EXPECT_TRUE(prompter.messageTexts().isEmpty())
          << prompter.messageTexts().join("|").toStdString();
    }
    const testing_support::CliResult result = testing_support::run_cli(c.cli(cli));
    EXPECT_EQ(result.exit_code, 0) << result.err;
    const auto after = treeBytes(app.root());
    EXPECT_NE(after, before);
    EXPECT_EQ(after, treeBytes(cli.root()));
  }
}

}  // namespace
