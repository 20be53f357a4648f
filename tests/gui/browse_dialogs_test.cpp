// The two small windows of browsing: the scan's progress window and "Fix Master File".
#include <gtest/gtest.h>

#include <QPushButton>

#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/search_progress_dlg.h"
#include "gui/shell/help.h"

namespace gui_test {
namespace {

TEST(SearchProgressDlgTest, ShowsPathAndCountWithoutRepaintingForEveryDirectory) {
  CSearchProgressDlg dialog;
  dialog.start();
  EXPECT_EQ(dialog.windowTitle(), "Searching for Master Files");
  EXPECT_EQ(dialog.pathText(), "starting...");
  EXPECT_EQ(dialog.counterText(), "0");
  const int before = dialog.repaintCount();

  // A walk of many directories repaints at most about 20 times a second.
  QElapsedTimer clock;
  clock.start();
  constexpr int kDirectories = 20000;
  for (int i = 0; i < kDirectories; ++i) {
    dialog.directory_visited("/data/dir" + std::to_string(i));
    if (i % 1000 == 0) dialog.portfolio_found("/data/dir" + std::to_string(i), i / 1000 + 1);
  }
  const qint64 elapsed = clock.elapsed();
  EXPECT_LE(dialog.repaintCount() - before,
            elapsed / (1000 / CSearchProgressDlg::kRepaintsPerSecond) + 1);
  EXPECT_LT(dialog.repaintCount() - before, kDirectories / 100);
}

TEST(FixMasterDlgTest, ConfirmationAsksWithCancelWhileAReportOnlyInforms) {
  CFixMasterDlg confirmation("The message", CFixMasterDlg::Form::Confirmation);
  confirmation.show();
  EXPECT_EQ(confirmation.windowTitle(), "Fix Master File");
  EXPECT_EQ(confirmation.message(), "The message");
  EXPECT_TRUE(confirmation.cancelButton()->isVisible());
  EXPECT_TRUE(confirmation.helpButton()->isVisible());

  CFixMasterDlg report("Dropped", CFixMasterDlg::Form::Report);
  report.show();
  EXPECT_FALSE(report.cancelButton()->isVisible());
  EXPECT_TRUE(report.helpButton()->isVisible());
  EXPECT_TRUE(helpPath(CFixMasterDlg::helpTopic()).endsWith("fixing-bad-master.html"));
}

}  // namespace
}  // namespace gui_test
