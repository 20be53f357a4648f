// Split Search, Export and Data facts: the windows with scripted answers, and the same work
// done by dorvane-cli, compared line for line and byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "cli/cli_run.h"
#include "core/master_scan.h"
#include "core/symbol_rows.h"
#include "gui/analysis/data_facts_command.h"
#include "gui/analysis/data_facts_dlg.h"
#include "gui/analysis/export_all_command.h"
#include "gui/analysis/export_command.h"
#include "gui/analysis/export_dlg.h"
#include "gui/analysis/export_settings.h"
#include "gui/analysis/split_search_controller.h"
#include "gui/base/settings_store.h"
#include "gui_test_support.h"
#include "qdb/dates.h"
#include "qdb/writer.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::read_bytes;
using testing_support::write_bytes;

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

// count daily bars at a price level of 100 that halves at each index in falls and doubles
// at each index in rises (each a jump with a confirming gap).
std::vector<qdb::QuoteBar> splitBars(int count, const std::vector<int>& falls,
                                     const std::vector<int>& rises) {
  std::vector<qdb::QuoteBar> bars;
  const std::uint16_t first = qdb::date_serial(1999, 1, 4);
  float level = 100.0f;
  for (int i = 0; i < count; ++i) {
    for (int f : falls)
      if (f == i) level /= 2;
    for (int r : rises)
      if (r == i) level *= 2;
    bars.push_back({static_cast<std::uint16_t>(first + i), 0, level, level * 1.02f, level * 0.98f,
                    level, 1000.0f + static_cast<float>(i), 7.0f});
  }
  return bars;
}

void addSymbol(const fs::path& dir, int number, const std::string& symbol,
               const std::vector<qdb::QuoteBar>& bars) {
  ASSERT_TRUE(qdb::create_portfolio(dir.string()));
  ASSERT_TRUE(qdb::write_data_file(dir.string(), number, bars, qdb::default_layout(28), 28));
  ASSERT_TRUE(qdb::append_master_record(
      dir.string(), qdb::make_master_record(number, symbol, symbol + " Inc", 28, 7,
                                            bars.front().date, bars.back().date)));
}

// A portfolio whose symbols have splits ("LONG" across the 400-quote block boundary), one
// quote only ("ONE"), and none ("FLAT").
class SplitPortfolio {
 public:
  SplitPortfolio() {
    addSymbol(dir(), 1, "LONG", splitBars(450, {120, 400}, {399}));
    addSymbol(dir(), 2, "ONE", splitBars(1, {}, {}));
    addSymbol(dir(), 3, "FLAT", splitBars(30, {}, {}));
    addSymbol(dir(), 4, "BACK", splitBars(10, {}, {5}));
  }
  fs::path root() const { return m_temp.path(); }
  fs::path dir() const { return root() / "port"; }
  SplitSearchSource source() const {
    return {dir().string(),
            core::sorted_rows(core::read_master_rows((dir() / "MASTER").string()).rows)};
  }

 private:
  testing_support::TempDir m_temp;
};

const QString kFewerThanTwo =
    "For symbol ONE\nSplitSearch cannot perform search\nas there are fewer than 2 quotes.";

// Runs one search of the window to its end.
void searchToEnd(CSplitSearchDlg& window) {
  QSignalSpy ended(&window, &CSplitSearchDlg::searchEnded);
  window.searchButton()->click();
  EXPECT_TRUE(window.isSearching());
  ASSERT_TRUE(ended.wait(20000));
}

TEST(SplitSearchTest, OneModelessWindowWhoseOpenFlagFollowsItsLife) {
  SplitPortfolio p;
  gui_test::ScriptedPrompter prompter;
  CSplitSearchController controller;
  QSignalSpy changed(&controller, &CSplitSearchController::openChanged);
  EXPECT_FALSE(controller.isOpen());
  controller.open(nullptr, [&p] { return p.source(); });
  CSplitSearchDlg* window = controller.window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(controller.isOpen());
  EXPECT_FALSE(window->isModal());
  EXPECT_EQ(window->windowTitle(), "Split Search");
  EXPECT_TRUE(window->statusText().isEmpty());
  EXPECT_FALSE(window->saveAsButton()->isEnabled());
  controller.open(nullptr, [&p] { return p.source(); });  // the same window, not a second
  EXPECT_EQ(controller.window(), window);
  EXPECT_EQ(changed.count(), 1);

  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_FALSE(controller.isOpen());
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(changed.last().first().toBool(), false);
}

TEST(SplitSearchTest, AppendsResultsEnablesSaveAsAndSaysExactlyWhatHappened) {
  SplitPortfolio p;
  gui_test::ScriptedPrompter prompter;
  CSplitSearchDlg window([&p] { return p.source(); });
  window.show();
  // Rows in grid order: BACK, FLAT, LONG, ONE.
  prompter.expectMessage(Prompter::Answer::Ok);
  searchToEnd(window);
  const QStringList lines = window.resultLines();
  EXPECT_EQ(lines, (QStringList{"BACK possible 1 for 2 split on 01/09/99",
                                "LONG possible 2 for 1 split on 05/04/99",
                                "LONG possible 1 for 2 split on 02/07/00",
                                "LONG possible 2 for 1 split on 02/08/00"}));
  EXPECT_TRUE(window.saveAsButton()->isEnabled());
  EXPECT_EQ(window.statusText(), "Done search");
  EXPECT_EQ(prompter.messageTexts(), QStringList{kFewerThanTwo});
  EXPECT_EQ(prompter.beeps, 1);

  prompter.expectMessage(Prompter::Answer::Ok);
  searchToEnd(window);
  EXPECT_EQ(window.resultLines(), lines + lines);  // appended

  // A portfolio without candidates.
  gui_test::ScriptedPrompter quiet;
  const fs::path flat = p.root() / "flat";
  addSymbol(flat, 1, "FLAT", splitBars(30, {}, {}));
  CSplitSearchDlg none([&flat] {
    return SplitSearchSource{flat.string(), {{"FLAT", "FLAT Inc", 1, 0, false, "", false, ""}}};
  });
  quiet.expectMessage(Prompter::Answer::Ok);
  searchToEnd(none);
  EXPECT_EQ(quiet.messageTexts(), QStringList{"No candidate splits found"});
  EXPECT_FALSE(none.saveAsButton()->isEnabled());
}

TEST(SplitSearchTest, ShowsProgressAndCanBeClosedPartWay) {
  SplitPortfolio p;
  gui_test::ScriptedPrompter prompter;
  CSplitSearchController controller;
  controller.open(nullptr, [&p] { return p.source(); });
  CSplitSearchDlg* window = controller.window();
  QSignalSpy ended(window, &CSplitSearchDlg::searchEnded);
  QObject::connect(window->progressBar(), &QProgressBar::valueChanged, window, [&](int value) {
    EXPECT_TRUE(window->progressBar()->isVisible());
    EXPECT_EQ(window->progressBar()->maximum(), 4);
    if (value == 2) window->closeButton()->click();
  });
  window->searchButton()->click();
  EXPECT_FALSE(window->searchButton()->isEnabled());
  ASSERT_TRUE(ended.wait(20000));
  EXPECT_FALSE(controller.isOpen());
  EXPECT_EQ(prompter.beeps, 0);  // never reached its end
  EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

TEST(SplitSearchTest, SaveAsWritesWhatTheCliWritesAndReportsAFileItCannotWrite) {
  SplitPortfolio p;
  gui_test::ScriptedPrompter prompter;
  CSplitSearchDlg window([&p] { return p.source(); });
  prompter.expectMessage(Prompter::Answer::Ok);
  searchToEnd(window);

  const fs::path appFile = p.root() / "app.txt";
  const fs::path cliFile = p.root() / "cli.txt";
  prompter.expectDialog([&](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    EXPECT_EQ(files.defaultSuffix(), "txt");
    EXPECT_FALSE(files.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(files.selectedFiles().value(0).endsWith("/result.txt"))
        << files.selectedFiles().value(0).toStdString();
    files.selectFile(q(appFile));
    return int(QDialog::Accepted);
  });
  window.saveAs();

  const testing_support::CliResult cli =
      testing_support::run_cli({"split-search", p.dir().string(), "--output", cliFile.string()});
  EXPECT_EQ(cli.exit_code, 0) << cli.err;
  std::string appOut;
  for (const QString& line : window.resultLines()) appOut += line.toStdString() + "\n";
  EXPECT_EQ(cli.out, appOut);
  EXPECT_EQ(read_bytes(appFile), read_bytes(cliFile));
  EXPECT_NE(read_bytes(appFile).find("\r\n"), std::string::npos);

  // A directory of that name stands where the file would go.
  const fs::path nowhere = p.root() / "taken.txt";
  fs::create_directories(nowhere / "inside");
  prompter.expectDialog([&](QDialog& dialog) {
    static_cast<QFileDialog&>(dialog).selectFile(q(nowhere));
    return int(QDialog::Accepted);
  });
  prompter.expectMessage(Prompter::Answer::Ok);
  window.saveAs();
  EXPECT_EQ(prompter.messageTexts().last().toStdString(),
            ("The result file\n" + q(nowhere) + "\ncould not be written.").toStdString());
  EXPECT_TRUE(fs::is_directory(nowhere / "inside"));
}

// Export of a portfolio's "EXP" with choices scripted in the dialog.
class ExportTest : public ::testing::Test {
 protected:
  ExportTest() {
    addSymbol(dir(), 1, "EXP", splitBars(5, {}, {3}));
    store().SetString("XportSel", "Starter", q(m_temp.path() / "last" / "out.txt"));
    store().SetInt("XportSel", "Delim", 1);
    store().SetInt("XportSel", "OmitHigh", 1);
    store().SetInt("XportSel", "OmitOI", 1);
    store().SetInt("XportSel", "Title", 1);
    store().SetInt("XportSel", "Newest", 1);
    fs::create_directories(m_temp.path() / "last");
  }
  CSettingsStore& store() { return m_settings.store(); }
  fs::path dir() const { return m_temp.path() / "port"; }
  fs::path file(const char* name) const { return m_temp.path() / "last" / name; }
  bool run() { return runExport(nullptr, store(), q(dir()), "EXP"); }
  // The dialog's script: set the path, then OK.
  gui_test::ScriptedPrompter::DialogScript okWithPath(const fs::path& path) {
    return [path](QDialog& dialog) {
      static_cast<CExportDlg&>(dialog).pathEdit()->setText(q(path));
      dialog.accept();
      return dialog.result();
    };
  }

  testing_support::TempDir m_temp;
  gui_test::SettingsSandbox m_settings;
  gui_test::ScriptedPrompter m_prompter;
};

TEST_F(ExportTest, PreloadsTheChoicesAndCancelSavesNothing) {
  const std::string settingsBefore = read_bytes(store().fileName().toStdString());
  m_prompter.expectDialog([&](QDialog& dialog) {
    auto& d = static_cast<CExportDlg&>(dialog);
    EXPECT_EQ(d.windowTitle(), "Export");
    EXPECT_EQ(d.pathEdit()->text(), q(file("out.txt")));
    EXPECT_EQ(d.delimiterGroup()->checkedId(), 1);
    EXPECT_EQ(d.orderGroup()->checkedId(), 1);
    EXPECT_TRUE(d.checkBox("High")->isChecked());
    EXPECT_TRUE(d.checkBox("Open Interest")->isChecked());
    EXPECT_TRUE(d.checkBox("Add title row")->isChecked());
    EXPECT_FALSE(d.checkBox("Open")->isChecked());
    d.checkBox("Open")->setChecked(true);
    return int(QDialog::Rejected);
  });
  EXPECT_FALSE(run());
  EXPECT_EQ(read_bytes(store().fileName().toStdString()), settingsBefore);
  EXPECT_FALSE(fs::exists(file("out.txt")));
}

TEST_F(ExportTest, BrowseStartsInTheDirectoryOfTheLastExport) {
  m_prompter.expectDialog([&](QDialog& dialog) {
    auto& d = static_cast<CExportDlg&>(dialog);
    m_prompter.expectDialog([&](QDialog& chooser) {
      auto& files = static_cast<QFileDialog&>(chooser);
      EXPECT_EQ(QDir(files.directory()).absolutePath(), q(m_temp.path() / "last"));
      EXPECT_EQ(files.selectedFiles().value(0), q(file("out.txt")));
      files.selectFile(q(file("chosen.txt")));
      return int(QDialog::Accepted);
    });
    d.browseButton()->click();
    EXPECT_EQ(d.pathEdit()->text(), q(file("chosen.txt")));
    return int(QDialog::Rejected);
  });
  EXPECT_FALSE(run());
}

TEST_F(ExportTest, AnExistingFileIsReplacedOnlyAfterYes) {
  write_bytes(file("out.txt"), "old");
  const std::string settingsBefore = read_bytes(store().fileName().toStdString());
  const QString question =
      q(file("out.txt")) + "\nThis file already exists\n\nReplace existing file?";

  m_prompter.expectDialog([](QDialog& dialog) {
    static_cast<CExportDlg&>(dialog).delimiterGroup()->button(2)->click();
    dialog.accept();
    return dialog.result();
  });
  m_prompter.expectMessage(Prompter::Answer::No);
  // "No" goes back to the dialog, the choices as the user left them.
  m_prompter.expectDialog([](QDialog& dialog) {
    EXPECT_EQ(static_cast<CExportDlg&>(dialog).delimiterGroup()->checkedId(), 2);
    return int(QDialog::Rejected);
  });
  EXPECT_FALSE(run());
  EXPECT_EQ(m_prompter.dialogTitles(), QStringList({"Export", "Export"}));
  EXPECT_EQ(m_prompter.messageTexts(), QStringList{question});
  EXPECT_EQ(m_prompter.messages.back().buttons, Prompter::Buttons::YesNo);
  EXPECT_EQ(read_bytes(file("out.txt")), "old");
  EXPECT_EQ(read_bytes(store().fileName().toStdString()), settingsBefore);

  m_prompter.expectDialog(okWithPath(file("out.txt")));
  m_prompter.expectMessage(Prompter::Answer::Yes);
  QString note;
  EXPECT_TRUE(runExport(nullptr, store(), q(dir()), "EXP", 0, true, &note));
  EXPECT_EQ(note, "Exported 5 quotes of EXP to " + q(file("out.txt")));
  EXPECT_EQ(read_bytes(file("out.txt")).substr(0, 21), "DATE,OPEN,LOW,CLOSE,V");
  EXPECT_EQ(m_prompter.beeps, 1);
}

// "Add time column" is offered only for a series with times.
TEST_F(ExportTest, TheTimeColumnIsOfferedOnlyForASeriesWithTimes) {
  for (const bool hasTimes : {true, false}) {
    m_prompter.expectDialog([hasTimes](QDialog& dialog) {
      EXPECT_EQ(static_cast<CExportDlg&>(dialog).timeBox()->isEnabled(), hasTimes);
      return int(QDialog::Rejected);
    });
    EXPECT_FALSE(runExport(nullptr, store(), q(dir()), "EXP", 0, hasTimes));
  }
}

TEST_F(ExportTest, AFileThatCannotBeWrittenSaysSoAfterSavingTheChoices) {
  const fs::path nowhere = m_temp.path() / "missing" / "x.txt";
  m_prompter.expectDialog(okWithPath(nowhere));
  m_prompter.expectMessage(Prompter::Answer::Ok);
  EXPECT_FALSE(run());
  EXPECT_EQ(m_prompter.messageTexts(), QStringList{"file export error"});
  EXPECT_EQ(store().GetString("XportSel", "Starter", {}), q(nowhere));
  EXPECT_EQ(m_prompter.beeps, 0);
}

TEST_F(ExportTest, WritesWhatTheCliWritesWithTheSameChoicesAndSavesThem) {
  struct Case {
    const char* what;
    std::function<void(CExportDlg&)> choose;
    std::vector<std::string> cliOptions;
  };
  const std::vector<Case> cases = {
      {"as preloaded",
       [](CExportDlg&) {},
       {"--delimiter", "comma", "--omit", "high,oi", "--title", "--newest-first"}},
      {"defaults", [](CExportDlg& d) { d.setOptions(core::ExportOptions{}); }, {}},
      {"tab, oldest first, only the date",
       [](CExportDlg& d) {
         d.delimiterGroup()->button(2)->click();
         d.orderGroup()->button(0)->click();
         for (const char* box : {"Open", "High", "Low", "Close", "Volume", "Open Interest"})
           d.checkBox(box)->setChecked(true);
         d.checkBox("Add title row")->setChecked(true);
       },
       {"--delimiter", "tab", "--omit", "open,high,low,close,volume,oi", "--title"}},
      {"four-digit years with times",
       [](CExportDlg& d) {
         d.setOptions(core::ExportOptions{});
         d.dateFormGroup()->button(1)->click();
         d.timeBox()->setChecked(true);
       },
       {"--date-format", "mdy4", "--time"}},
      {"ISO dates",
       [](CExportDlg& d) {
         d.setOptions(core::ExportOptions{});
         d.dateFormGroup()->button(2)->click();
       },
       {"--date-format", "iso"}},
      {"YYYYMMDD dates",
       [](CExportDlg& d) {
         d.setOptions(core::ExportOptions{});
         d.dateFormGroup()->button(3)->click();
       },
       {"--date-format", "ymd"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path appFile = file(("app" + std::to_string(n) + ".txt").c_str());
    const fs::path cliFile = file(("cli" + std::to_string(n++) + ".txt").c_str());
    core::ExportOptions chosen;
    m_prompter.expectDialog([&](QDialog& dialog) {
      auto& d = static_cast<CExportDlg&>(dialog);
      c.choose(d);
      d.pathEdit()->setText(q(appFile));
      chosen = d.options();
      d.accept();
      return d.result();
    });
    EXPECT_TRUE(run());
    std::vector<std::string> args = {"export", dir().string(), "EXP", cliFile.string()};
    args.insert(args.end(), c.cliOptions.begin(), c.cliOptions.end());
    const testing_support::CliResult cli = testing_support::run_cli(args);
    EXPECT_EQ(cli.exit_code, 0) << cli.err;
    EXPECT_EQ(read_bytes(appFile), read_bytes(cliFile));
    const core::ExportOptions saved = loadExportOptions(store());
    EXPECT_EQ(saved.path, appFile.string());
    EXPECT_EQ(saved.delimiter, chosen.delimiter);
    EXPECT_EQ(saved.newest_first, chosen.newest_first);
    EXPECT_EQ(saved.title, chosen.title);
    EXPECT_EQ(saved.omit_open, chosen.omit_open);
    EXPECT_EQ(saved.omit_oi, chosen.omit_oi);
    EXPECT_EQ(saved.date_form, chosen.date_form);
    EXPECT_EQ(saved.time, chosen.time);
  }
}

// Export All over a portfolio whose symbols include one that is not a safe file name.
class ExportAllTest : public ExportTest {
 protected:
  ExportAllTest() {
    addSymbol(dir(), 2, "BRK/A", splitBars(4, {}, {}));
    addSymbol(dir(), 3, "ZED", splitBars(7, {2}, {}));
  }
  QString runAll() { return runExportAll(nullptr, store(), q(dir())); }
  // The dialog's script: the folder (or, with single, the file), comma delimiter, then OK.
  gui_test::ScriptedPrompter::DialogScript okWith(const fs::path& path, bool single) {
    return [path, single](QDialog& dialog) {
      auto& d = static_cast<CExportDlg&>(dialog);
      EXPECT_EQ(d.windowTitle(), "Export All");
      d.setSingle(single);
      d.pathEdit()->setText(q(path));
      d.delimiterGroup()->button(1)->click();
      d.accept();
      return d.result();
    };
  }
  static std::map<std::string, std::string> filesIn(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
      files[entry.path().filename().string()] = read_bytes(entry.path());
    return files;
  }
};

TEST_F(ExportAllTest, WritesWhatTheCliWritesAndAsksBeforeReplacing) {
  const fs::path appDir = m_temp.path() / "app";
  const fs::path cliDir = m_temp.path() / "cli";
  m_prompter.expectDialog(okWith(appDir, false));
  EXPECT_EQ(runAll(), "Exported 3 of 3 symbols to " + q(appDir));
  const auto cli =
      testing_support::run_cli({"export-all", dir().string(), cliDir.string(), "--delimiter",
                                "comma", "--omit", "high,oi", "--title", "--newest-first"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  const auto written = filesIn(appDir);
  EXPECT_EQ(written, filesIn(cliDir));
  EXPECT_EQ(written.count("BRK_A.txt"), 1u);
  // The choices are kept for the next run; the single export's file is not touched.
  EXPECT_EQ(loadExportAllTarget(store()).path, q(appDir));
  EXPECT_EQ(loadExportOptions(store()).path, file("out.txt").string());

  // Existing files: "No" goes back to the dialog with the choices kept; Cancel then writes
  // nothing.
  m_prompter.expectDialog(okWith(appDir, false));
  m_prompter.expectMessage(Prompter::Answer::No);
  m_prompter.expectDialog([&](QDialog& dialog) {
    auto& d = static_cast<CExportDlg&>(dialog);
    EXPECT_EQ(d.pathEdit()->text(), q(appDir));
    EXPECT_EQ(d.delimiterGroup()->checkedId(), 1);
    return static_cast<int>(QDialog::Rejected);
  });
  EXPECT_EQ(runAll(), QString());
  EXPECT_TRUE(m_prompter.messageTexts().first().startsWith("These 3 files already exist in " +
                                                           q(appDir) + ":\n"));
  EXPECT_EQ(filesIn(appDir), written);

  // One file for all, as the CLI's --single writes it.
  m_prompter.expectDialog(okWith(appDir / "all.txt", true));
  EXPECT_FALSE(runAll().isEmpty());
  const auto single = testing_support::run_cli({"export-all", dir().string(), cliDir.string(),
                                                "--single", "all.txt", "--delimiter", "comma",
                                                "--omit", "high,oi", "--title", "--newest-first"});
  ASSERT_EQ(single.exit_code, 0) << single.err;
  EXPECT_EQ(read_bytes(appDir / "all.txt"), read_bytes(cliDir / "all.txt"));
}

TEST_F(ExportAllTest, CancelInTheProgressWindowWritesNothing) {
  const fs::path out = m_temp.path() / "out";
  m_prompter.expectDialog([&](QDialog& dialog) {
    // Cancel as soon as the export hands control to the event loop.
    QTimer::singleShot(0, [] {
      for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget)) progress->cancel();
    });
    return okWith(out, false)(dialog);
  });
  EXPECT_EQ(runAll(), "Export All stopped; nothing was written");
  EXPECT_TRUE(filesIn(out).empty());
  EXPECT_EQ(m_prompter.beeps, 0);
}

TEST(DataFactsTest, ShowsWhatTheCliReportsAndNothingWhenThereAreNoFacts) {
  testing_support::TempDir temp;
  const fs::path dir = temp.path() / "port";
  addSymbol(dir, 1, "FCT", splitBars(12, {}, {}));
  ASSERT_TRUE(qdb::write_dop_file(dir.string(), 1, qdb::default_layout(28)));

  const testing_support::CliResult cli = testing_support::run_cli({"facts", dir.string(), "FCT"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  QStringList expected;
  std::istringstream lines(cli.out);
  std::string line;
  while (std::getline(lines, line)) {
    const QStringList cells = QString::fromStdString(line).split('\t');
    expected << cells.mid(1);
  }

  gui_test::ScriptedPrompter prompter;
  prompter.expectDialog([&](QDialog& dialog) {
    auto& d = static_cast<CDataFactsDlg&>(dialog);
    EXPECT_EQ(d.windowTitle(), "About Selected Quote Series");
    // The CLI adds the first and last quote's dates after the facts the dialog shows.
    EXPECT_EQ(expected.size(), d.values().size() + 2);
    EXPECT_EQ(d.values(), expected.mid(0, d.values().size()));
    EXPECT_EQ(d.values().value(4), "12");
    d.setDescription(nullptr);  // a later failure leaves nothing of these behind
    for (const QString& value : d.values()) EXPECT_TRUE(value.isEmpty());
    return int(QDialog::Accepted);
  });
  runDataFacts(nullptr, q(dir), "FCT");

  prompter.expectDialog([](QDialog& dialog) {
    const QStringList values = static_cast<CDataFactsDlg&>(dialog).values();
    EXPECT_EQ(values.size(), 26);
    for (const QString& value : values) EXPECT_TRUE(value.isEmpty());
    return int(QDialog::Accepted);
  });
  runDataFacts(nullptr, q(dir), "MISSING");
  EXPECT_TRUE(prompter.messageTexts().isEmpty());
}

}  // namespace
