// Every dialog as a keyboard user meets it: the window's buttons, the field that has the focus
// (its text selected) when it opens, the Tab order through its fields to its buttons, and F1
// opening its page of the manual, which the contents link to.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <memory>

#include "gui/analysis/data_facts_dlg.h"
#include "gui/analysis/export_dlg.h"
#include "gui/analysis/split_search_dlg.h"
#include "gui/base/dialog_keys.h"
#include "gui/base/help.h"
#include "gui/base/help_window.h"
#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/search_filter_dlg.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/delete_quote_dlg.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/split_dlg.h"
#include "gui/shell/about_dlg.h"
#include "gui/symbols/delete_symbol_dlg.h"
#include "gui/symbols/edit_symbol_dlg.h"
#include "gui/symbols/move_symbol_dlg.h"
#include "gui_test_support.h"

namespace gui_test {
namespace {

class ThreeRows : public QuoteRows {
 public:
  int rowCount() const override { return 3; }
  QString text(int row, int column) const override {
    static const QStringList kDates = {"01/05/00", "01/04/00", "01/03/00"};
    return column == 0 ? kDates[row] : QStringLiteral("%1.5000").arg(row + column);
  }
};

// A widget as the table names it: its object name, else a button's text.
QString nameOf(const QWidget* widget) {
  if (widget == nullptr) return QStringLiteral("(none)");
  if (!widget->objectName().isEmpty()) return widget->objectName();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
    return button->text().remove(u'&');
  return QString::fromLatin1(widget->metaObject()->className());
}

struct DialogCase {
  std::function<std::unique_ptr<QDialog>()> make;
  QString selected;  // the focused field's text, selected; empty for a button
  QStringList tabs;  // from the focused widget on, until Tab comes back to it
  const char* topic;
};

TEST(DialogKeysTest, FocusTabOrderWindowButtonsAndHelpOfEveryDialog) {
  ScriptedPrompter prompter;  // a link or a check that asks something fails the test
  static const ThreeRows rows;
  // Tab enters a group of radio buttons at its chosen button; the arrow keys move inside it.
  const QStringList exportTabs = {"path",
                                  "Browse...",
                                  "Open",
                                  "High",
                                  "Low",
                                  "Close",
                                  "Volume",
                                  "Open Interest",
                                  "Space",
                                  "MM/DD/YY",
                                  "Add time column",
                                  "Oldest quote first",
                                  "Add title row",
                                  "OK",
                                  "Cancel"};
  const DialogCase cases[] = {
      {[] { return std::make_unique<CEditQuoteDlg>(rows, 1); },
       "2.5000",
       {"open", "high", "low", "close", "volume", "openInterest", "previous", "next", "first",
        "last", "ok", "cancel"},
       "edit-quote"},
      {[] { return std::make_unique<CSplitDlg>("01/04/00"); },
       "01/04/00",
       {"splitDate", "newShares", "oldShares", "ok", "cancel"},
       "split"},
      {[] { return std::make_unique<CAdjustDlg>("01/03/00", "01/05/00"); },
       "01/03/00",
       {"fromDate", "toDate", "priceMultiplier", "volumeMultiplier", "openInterestMultiplier", "ok",
        "cancel"},
       "adjust"},
      {[] { return std::make_unique<CDeleteQuoteDlg>("01/04/00"); },
       "",
       {"ok", "cancel"},
       "delete-quote"},
      {[] { return std::make_unique<CAddQuoteDlg>("12/31/99"); },
       "",
       {"ok", "cancel"},
       "add-quote"},
      {[] { return std::make_unique<CEditSymbolDlg>("AAA", "ALPHA"); },
       "AAA",
       {"symbol", "name", "OK", "Cancel"},
       "edit-symbol"},
      {[] { return std::make_unique<CDeleteSymbolDlg>("AAA"); },
       "",
       {"no", "yes"},
       "delete-symbol"},
      {[] {
         return std::make_unique<CMoveSymbolDlg>(
             "AAA", "ALPHA", "/p/a", QStringList{"/p/a", "/p/b"}, "/p/a", core::TransferMode::Move);
       },
       "",
       {"destinations", "OK", "Cancel"},
       "move-copy-symbol"},
      {[] {
         auto dialog = std::make_unique<CExportDlg>();
         dialog->setOptions({});
         return dialog;
       },
       "output.txt", exportTabs, "export"},
      {[] { return std::make_unique<CDataFactsDlg>(); }, "", {"OK"}, "data-facts"},
      {[] { return std::make_unique<CSplitSearchDlg>(nullptr); },
       "",
       {"results", "Search", "Close"},
       "split-search"},
      {[] { return std::make_unique<CSearchFilterDlg>(QStringList{"/"}); },
       "",
       {"limit", "autoRepair", "OK", "Cancel"},
       "search-filter"},
      {[] { return std::make_unique<CFixMasterDlg>("Bad", CFixMasterDlg::Form::Confirmation); },
       "",
       {"OK", "Help", "Cancel"},
       "fixing-bad-master"},
      {[] { return std::make_unique<CAboutDlg>(); }, "", {"OK", "email", "web"}, ""},
  };
  const QDir manual(helpDirectory());
  QFile contents(manual.filePath("index.html"));
  ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
  const QString index = QString::fromUtf8(contents.readAll());

  for (const DialogCase& c : cases) {
    std::unique_ptr<QDialog> dialog = c.make();
    const std::string title = dialog->windowTitle().toStdString();
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint)) << title;
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint)) << title;
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint)) << title;
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint)) << title;
    EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint)) << title;

    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get())) << title;
    QWidget* first = QApplication::focusWidget();
    if (auto* edit = qobject_cast<QLineEdit*>(first)) {
      EXPECT_EQ(edit->selectedText(), c.selected) << title;
    } else {
      EXPECT_TRUE(c.selected.isEmpty()) << title << ": focus on " << nameOf(first).toStdString();
    }
    QStringList tabs{nameOf(first)};
    for (int i = 0; i < c.tabs.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      if (QApplication::focusWidget() == first) break;
      tabs << nameOf(QApplication::focusWidget());
    }
    EXPECT_EQ(tabs, c.tabs) << title;
    EXPECT_EQ(QApplication::focusWidget(), first) << title << ": Tab comes back to the start";

    EXPECT_EQ(dialogHelpTopic(*dialog), QString::fromLatin1(c.topic)) << title;
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    const auto* help = dialog->findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr) << title;
    const QString page = *c.topic ? QString::fromLatin1(c.topic) + ".html" : "index.html";
    EXPECT_EQ(help->pagePath(), manual.filePath(page)) << title;
    EXPECT_TRUE(index.contains("href=\"" + page + "\"") || page == "index.html")
        << title << ": the contents link to " << page.toStdString();
  }
}

}  // namespace
}  // namespace gui_test

namespace gui_test {
namespace {

// Y and N answer Delete Symbol's question, as they answer every confirmation.
TEST(DialogKeysTest, YAndNAnswerDeleteSymbol) {
  for (const auto& [key, result] :
       {std::pair{Qt::Key_Y, QDialog::Accepted}, std::pair{Qt::Key_N, QDialog::Rejected}}) {
    CDeleteSymbolDlg dialog("AAA");
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), result);
  }
}

}  // namespace
}  // namespace gui_test
