// The two small windows of browsing: the scan's progress window and "Fix Master File".
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "gui/base/help.h"
#include "gui/browse/fix_master_dlg.h"
#include "gui/browse/search_progress_dlg.h"

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

// The whole title, path line, label and counter show at the default font: each label gets at
// least its size hint, and the title fits beside the window's buttons.
TEST(SearchProgressDlgTest, EveryTextGetsTheRoomItNeeds) {
  CSearchProgressDlg dialog;
  dialog.start();
  dialog.portfolio_found("/data", 123456);
  dialog.directory_visited("/data");
  QTest::qWait(1000 / CSearchProgressDlg::kRepaintsPerSecond + 10);
  dialog.directory_visited("/data");
  for (const char* name : {"foundLabel", "counterText", "pathText"}) {
    const auto* label = dialog.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_GE(label->width(), label->sizeHint().width()) << name;
    EXPECT_GE(label->height(), label->sizeHint().height()) << name;
  }
  EXPECT_GE(dialog.width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()));
}

// A path longer than the window keeps its start and its end, the middle elided.
TEST(SearchProgressDlgTest, ALongPathIsElidedInTheMiddle) {
  CSearchProgressDlg dialog;
  dialog.start();
  const std::string path = "/first" + std::string(300, 'x') + "/last";
  QTest::qWait(1000 / CSearchProgressDlg::kRepaintsPerSecond + 10);
  dialog.directory_visited(path);
  const auto* label = dialog.findChild<QLabel*>("pathText");
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(dialog.pathText().startsWith("/first"));
  EXPECT_TRUE(dialog.pathText().endsWith("/last"));
  EXPECT_TRUE(dialog.pathText().contains(QChar(0x2026)));
  EXPECT_LE(label->fontMetrics().horizontalAdvance(dialog.pathText()), label->width());
}

// The report keeps the message's own line breaks and adds none.
TEST(FixMasterDlgTest, TheMessageIsShownWithItsOwnLineBreaksOnly) {
  const QString message =
      "Write this information down now. When repair is complete\nconsult the Fixing Bad "
      "Master topic in the Dorvane Help\nfile to ensure that your repair was done correctly.";
  CFixMasterDlg report(message, CFixMasterDlg::Form::Report);
  report.show();
  const auto* label = report.findChild<QLabel*>();
  ASSERT_NE(label, nullptr);
  EXPECT_FALSE(label->wordWrap());
  EXPECT_GE(label->width(), label->fontMetrics().boundingRect(QRect(), 0, message).width());
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
