// A portfolio that lists one symbol twice: the row clicked is the entry read and rewritten, as
// dorvane-cli does it with --file-number, byte for byte; Edit Symbol refuses a symbol that
// another entry has.
#include <QLineEdit>

#include <filesystem>
#include <map>

#include "browser_fixture.h"
#include "cli/cli_run.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/grid_view.h"
#include "gui/edit/number_edit.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "qdb/dates.h"
#include "support/portfolio_builder.h"
#include "support/real_data.h"
#include "support/temp_dir.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;

using testing_support::bars_from;
using testing_support::files_in;

// F1 CL, F2 GC, F3 CL: the grid lists CL (F1), CL (F3), GC.
void make_duplicates(const fs::path& dir) {
  testing_support::make_portfolio(dir.string(), {{1, "CL", "CRUDE OIL", bars_from(10)},
                                                 {2, "GC", "GOLD", bars_from(20)},
                                                 {3, "CL", "CL SECOND", bars_from(30)}});
}

class DuplicateSymbolTest : public BrowserFixture {};

TEST_F(DuplicateSymbolTest, TheSecondRowOfASymbolIsTheEntryReadAndRewritten) {
  const fs::path app = root() / "dup";
  testing_support::TempDir cliTree;
  const fs::path cli = cliTree.path() / "dup";
  make_duplicates(app);
  make_duplicates(cli);
  const auto original = files_in(app);
  startUp();
  ASSERT_EQ(view()->symbolCount(), 3);
  ASSERT_EQ(view()->symbolsModel()->text(1, 0), "CL");
  ASSERT_EQ(view()->symbolsModel()->text(1, 1).trimmed(), "CL SECOND");

  // The second CL row shows F3's quotes: the newest open is 30 + 6.
  view()->symbolsGrid()->selectRow(1);
  view()->FillQuotesGrid(0);
  EXPECT_EQ(view()->quotesModel()->text(0, 1).toDouble(), 36.0);

  prompter.expectDialog([](QDialog& d) {
    auto* close = static_cast<CEditQuoteDlg&>(d).field(3);
    close->selectAll();
    close->insert(QStringLiteral("99.5"));
    return press_ok(d);
  });
  frame->commandAction(QStringLiteral("editQuote"))->trigger();
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();

  const auto result = testing_support::run_cli(
      {"edit-quote", cli.string(), "CL", "01/06/00", "--close", "99.5", "--file-number", "3"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto edited = files_in(app);
  EXPECT_EQ(edited, files_in(cli));
  EXPECT_NE(edited.at("F3.DAT"), original.at("F3.DAT"));
  EXPECT_EQ(edited.at("F1.DAT"), original.at("F1.DAT"));

  // GC renamed to CL: refused, naming the first CL; nothing written.
  view()->symbolsGrid()->selectRow(2);
  view()->FillQuotesGrid(0);
  prompter.expectDialog([](QDialog& d) {
    auto& dialog = static_cast<CEditSymbolDlg&>(d);
    dialog.symbolEdit()->setText(QStringLiteral("CL"));
    dialog.accept();
    return dialog.result();
  });
  prompter.expectMessage();
  frame->commandAction(QStringLiteral("editSymbol"))->trigger();
  EXPECT_EQ(prompter.messageTexts(),
            QStringList(QString::fromStdString("Symbol CL already exists in\n" + app.string() +
                                               "\nas F1 CL (CRUDE OIL).\nChoose a different "
                                               "symbol.")));
  EXPECT_EQ(files_in(app), edited);
  EXPECT_EQ(view()->symbolsModel()->text(2, 0), "GC");
}

}  // namespace
}  // namespace gui_test
