// File > New Portfolio... and File > Import... end to end on a temporary tree: the portfolio
// made, listed and selected; a CSV without a header read through the dialog's role drop-downs,
// written byte for byte as `dorvane-cli import` writes it, and the grids on the new symbol; a
// dropped file with a line that can't be read refused at OK with its line and column, nothing
// written.
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QTableWidget>
#include <QUrl>

#include "browser_fixture.h"
#include "cli/cli_run.h"
#include "core/import.h"
#include "gui/import/import_dlg.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;
using testing_support::read_bytes;

// Three days without a header row: date, open, high, low, close, volume.
const char kPrices[] =
    "20240102,10.5,11,10,10.75,1200\n"
    "20240103,10.75,11.5,10.5,11.25,1300\n"
    "20240104,11.25,12,11,11.5,900\n";

std::map<std::string, std::string> dirBytes(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = read_bytes(entry.path());
  return files;
}

QString q(const fs::path& path) { return QString::fromStdString(path.string()); }

// A file chooser (QFileDialog) answered with path.
ScriptedPrompter::DialogScript choose(const fs::path& path, const char* title) {
  return [path, title](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), title);
    static_cast<QFileDialog&>(dialog).selectFile(q(path));
    return int{QDialog::Accepted};
  };
}

class ImportFlowTest : public BrowserFixture {
 protected:
  void SetUp() override {
    make_portfolio(root() / "data", {{1, "ONE", "ONE CO", daily_bars(2), 28, false}});
  }
  fs::path write(const std::string& name, const std::string& text) {
    const fs::path file = m_inputs.path() / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  testing_support::TempDir m_inputs;
};

TEST_F(ImportFlowTest, NewPortfolioJoinsTheListSelectedAndIsRefusedWhereAMasterIs) {
  startUp();
  fs::create_directories(root() / "blank");
  prompter.expectDialog(choose(root() / "blank", "New Portfolio"));
  frame->commandAction("newPortfolio")->trigger();
  EXPECT_TRUE(fs::exists(root() / "blank" / "MASTER"));
  EXPECT_TRUE(fs::exists(root() / "blank" / "EMASTER"));
  EXPECT_EQ(portfolioEntries(), QStringList({path("blank"), path("data")}));
  EXPECT_EQ(view()->portfolioList()->currentRow(), 0);
  EXPECT_EQ(view()->masterPath(), path("blank") + "/MASTER");
  EXPECT_EQ(view()->symbolCount(), 0);

  // The same directory again: refused by core, said through the prompter, the list unchanged.
  prompter.expectDialog(choose(root() / "blank", "New Portfolio"));
  prompter.expectMessage();
  frame->commandAction("newPortfolio")->trigger();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.endsWith("already holds a MASTER"));
  EXPECT_EQ(prompter.messages[0].icon, Prompter::Icon::Stop);
  EXPECT_EQ(portfolioEntries(), QStringList({path("blank"), path("data")}));
}

TEST_F(ImportFlowTest, TheDialogsRolesImportACsvAsTheCliDoesAndTheGridsShowIt) {
  const fs::path csv = write("prices.txt", kPrices);
  testing_support::TempDir cliCopy;
  make_portfolio(cliCopy.path(), {{1, "ONE", "ONE CO", daily_bars(2), 28, false}});
  startUp();

  prompter.expectDialog(choose(csv, "Import"));
  prompter.expectDialog([&](QDialog& dialog) {
    auto& import = static_cast<CImportDlg&>(dialog);
    EXPECT_EQ(import.destination(), path("data"));
    import.refresh();
    // Without a header row nothing says what the columns are: the summary says why.
    EXPECT_TRUE(import.summaryText().startsWith("Can't import: "))
        << import.summaryText().toStdString();
    EXPECT_FALSE(import.ready());
    EXPECT_EQ(import.previewGrid()->rowCount(), 1 + 3);
    EXPECT_EQ(import.previewGrid()->item(3, 4)->text(), "11.5");
    const core::ImportColumn roles[] = {core::ImportColumn::kDate,  core::ImportColumn::kOpen,
                                        core::ImportColumn::kHigh,  core::ImportColumn::kLow,
                                        core::ImportColumn::kClose, core::ImportColumn::kVolume};
    for (int column = 0; column < 6; ++column) {
      QComboBox* box = import.roleBox(column);
      box->setCurrentIndex(box->findData(static_cast<int>(roles[column])));
    }
    import.symbolEdit()->setText("ACME");
    import.nameEdit()->setText("ACME CORP");
    import.refresh();
    EXPECT_TRUE(import.ready()) << import.summaryText().toStdString();
    EXPECT_EQ(import.roleBox(4)->currentText(), "Close");
    EXPECT_EQ(import.summaryText(),
              "New symbols: 1, updated: 0; days added: 3, replaced: 0, kept: 0.\n"
              "ACME (ACME CORP): new as F2 (6 fields, 24 bytes), 3 days in " +
                  path("data") + "/");
    return press_ok(import);
  });
  const int beeps = prompter.beeps;
  frame->commandAction("import")->trigger();
  EXPECT_EQ(prompter.beeps, beeps + 1);

  // The grids reloaded on the imported symbol, newest day first.
  EXPECT_EQ(view()->masterPath(), path("data") + "/MASTER");
  EXPECT_EQ(view()->symbolCount(), 2);
  EXPECT_EQ(view()->currentSymbol(), "ACME");
  EXPECT_EQ(view()->quoteCount(), 3);
  EXPECT_EQ(view()->firstDateText(), "01/02/24");

  const testing_support::CliResult cli = testing_support::run_cli(
      {"import", cliCopy.path().string(), csv.string(), "--columns",
       "date,open,high,low,close,volume", "--symbol", "ACME", "--name", "ACME CORP"});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  EXPECT_EQ(dirBytes(root() / "data"), dirBytes(cliCopy.path()));
}

TEST_F(ImportFlowTest, ADroppedFileWithALineThatCantBeReadIsRefusedAtOkWithItsLineAndColumn) {
  const fs::path csv = write("bad.csv",
                             "Date,Open,High,Low,Close\n2024-01-02,1,2,1,2\n"
                             "2024-01-03,1,x,1,2\n");
  startUp();
  const auto before = dirBytes(root() / "data");
  prompter.expectDialog([](QDialog& dialog) {
    auto& import = static_cast<CImportDlg&>(dialog);
    EXPECT_EQ(press_ok(import), QDialog::Rejected);  // kept open
    // The cell is selected in the preview (line 3 is the grid's row 3, below the roles).
    EXPECT_EQ(import.previewGrid()->currentRow(), 3);
    EXPECT_EQ(import.previewGrid()->currentColumn(), 2);
    // What was found before the bad line still shows: the header's roles.
    EXPECT_EQ(import.roleBox(2)->currentText(), "High");
    EXPECT_EQ(import.detectedText(), "Found: comma, decimal point, YYYY-MM-DD, a header row");
    return int{QDialog::Rejected};
  });
  prompter.expectMessage();
  // Dropped on the window: the drag is taken, the drop opens the dialog.
  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(q(csv))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(frame.get(), &drop);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_EQ(prompter.messages[0].text, q(csv) + ":3:3: \"x\" is not a number");
  EXPECT_EQ(dirBytes(root() / "data"), before);
  EXPECT_EQ(view()->currentSymbol(), "ONE");
}

}  // namespace
}  // namespace gui_test
