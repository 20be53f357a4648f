// Portfolio > Verify Tree...: the report's rows, its filter by kind, a double-click that brings
// the main window to that symbol and day, and "Mend order and repeats" after its confirmation.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>

#include "browser_fixture.h"
#include "gui/analysis/verify_report_dlg.h"
#include "gui/edit/quotes_grid_model.h"

namespace gui_test {
namespace {

CVerifyReportDlg* openReport() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* report = qobject_cast<CVerifyReportDlg*>(widget); report && report->isVisible())
      return report;
  return nullptr;
}

class VerifyReportTest : public BrowserFixture {
 protected:
  void SetUp() override {
    make_portfolio(root() / "a", {{1, "ONE", "ONE CO", daily_bars(5), 28, false}});
    // TWO's fourth quote is stored twice and its sixth before its fifth.
    std::vector<qdb::QuoteBar> bars = daily_bars(8);
    bars.insert(bars.begin() + 3, bars[3]);
    std::swap(bars[5], bars[6]);
    make_portfolio(root() / "b", {{1, "TWO", "TWO CO", bars, 28, false},
                                  {2, "ZED", "ZED CO", daily_bars(3), 28, false}});
  }
};

TEST_F(VerifyReportTest, DoubleClickSelectsTheSymbolAndDayAndTheMendLeavesNoOrderFindings) {
  startUp();
  ASSERT_EQ(view()->portfolioDir(), path("a"));
  QAction* verifyTree = frame->commandAction(QStringLiteral("verifyTree"));
  ASSERT_NE(verifyTree, nullptr);
  verifyTree->trigger();
  CVerifyReportDlg* report = openReport();
  ASSERT_NE(report, nullptr);

  // daily_bars run through weekends: every Saturday and Sunday is a finding too.
  report->setKindFilter(QStringLiteral("repeated-record"));
  QTableView* table = report->table();
  ASSERT_EQ(table->model()->rowCount(), 1);
  const core::Finding* repeated = report->findingAt(0);
  ASSERT_NE(repeated, nullptr);
  EXPECT_EQ(repeated->symbol, "TWO");

  table->scrollTo(table->model()->index(0, 2));
  const QPoint at = table->visualRect(table->model()->index(0, 2)).center();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(view()->portfolioDir(), path("b"));
  EXPECT_EQ(view()->currentSymbol(), "TWO");
  ASSERT_GE(view()->currentQuoteRow(), 0);
  EXPECT_EQ(view()->quotesModel()->bar(view()->currentQuoteRow()).date, repeated->date);

  prompter.expectMessage(Prompter::Answer::Yes);
  report->findChild<QPushButton*>(QStringLiteral("mend"))->click();
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_TRUE(prompter.messages[0].text.contains(
      QStringLiteral("F1.DAT (TWO): records sorted into date order, 1 repeated record removed")))
      << prompter.messages[0].text.toStdString();
  for (const core::Finding& finding : report->findings())
    EXPECT_FALSE(core::finding_kind_mendable(finding.kind)) << finding.values;
  EXPECT_FALSE(report->findChild<QPushButton*>(QStringLiteral("mend"))->isEnabled());
  report->close();
}

}  // namespace
}  // namespace gui_test
