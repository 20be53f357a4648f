// A Russian portfolio (cp1251) in the app: the names shown as the page auto chooses reads them,
// View > Name Encoding remembered per portfolio, and Symbol > Edit writing the page's bytes as
// dorvane-cli does, byte for byte, or refusing a character the page can't hold.
#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include <filesystem>

#include "browser_fixture.h"
#include "cli/cli_run.h"
#include "gui/base/setting_keys.h"
#include "gui/browse/symbols_grid_model.h"
#include "gui/edit/grid_view.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "support/code_page_portfolio.h"
#include "support/temp_dir.h"

namespace gui_test {
namespace {

namespace fs = std::filesystem;

using testing_support::files_in;

class NameEncodingTest : public BrowserFixture {};

QAction* encodingAction(CMainFrame& frame, const QString& choice) {
  return frame.findChild<QAction*>(QStringLiteral("nameEncoding_") + choice);
}

TEST_F(NameEncodingTest, NamesShownInTheirPageAndWrittenBackInIt) {
  const fs::path app = root() / "ru";
  testing_support::TempDir cliTree;
  const fs::path cli = cliTree.path() / "ru";
  testing_support::make_named_portfolio(app, testing_support::russian_names());
  testing_support::make_named_portfolio(cli, testing_support::russian_names());
  startUp();
  ASSERT_EQ(view()->symbolCount(), 3);
  const auto row = [this](int r) { return view()->symbolsModel()->text(r, 1).trimmed(); };
  EXPECT_EQ(row(0), QStringLiteral("Газпром"));

  // Latin-1 chosen for this portfolio: the grid reads the bytes so, and the choice is kept
  // under the portfolio's directory.
  QAction* latin1 = encodingAction(*frame, QStringLiteral("latin1"));
  ASSERT_NE(latin1, nullptr);
  latin1->trigger();
  EXPECT_EQ(row(0), QString::fromLatin1("\xC3\xE0\xE7\xEF\xF0\xEE\xEC"));
  EXPECT_EQ(settings().GetString(QStringLiteral("NameEncoding"),
                                 setting_keys::nameEncodingKey(view()->portfolioDir()), {}),
            QStringLiteral("latin1"));
  encodingAction(*frame, QStringLiteral("auto"))->trigger();
  EXPECT_EQ(row(0), QStringLiteral("Газпром"));

  // Edit Symbol writes the typed name in cp1251, as rename-symbol does.
  view()->symbolsGrid()->selectRow(0);
  prompter.expectDialog([](QDialog& d) {
    auto& dialog = static_cast<CEditSymbolDlg&>(d);
    dialog.nameEdit()->setText(QStringLiteral("Газпром нефть"));
    dialog.accept();
    return dialog.result();
  });
  frame->commandAction(QStringLiteral("editSymbol"))->trigger();
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messageTexts().join("|").toStdString();
  const auto result = testing_support::run_cli(
      {"rename-symbol", cli.string(), "GAZP", "GAZP", "--name", "Газпром нефть"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  const auto renamed = files_in(app);
  EXPECT_EQ(renamed, files_in(cli));
  EXPECT_EQ(row(0), QStringLiteral("Газпром нефть"));

  // A character cp1251 has no place for is refused, named, and nothing is written.
  prompter.expectDialog([](QDialog& d) {
    auto& dialog = static_cast<CEditSymbolDlg&>(d);
    dialog.nameEdit()->setText(QStringLiteral("Café"));
    dialog.accept();
    return dialog.result();
  });
  prompter.expectMessage();
  frame->commandAction(QStringLiteral("editSymbol"))->trigger();
  ASSERT_EQ(prompter.messageTexts().size(), 1);
  EXPECT_TRUE(prompter.messageTexts()[0].contains(QStringLiteral("\"é\" (U+00E9)")))
      << prompter.messageTexts()[0].toStdString();
  EXPECT_EQ(files_in(app), renamed);
}

}  // namespace
}  // namespace gui_test
