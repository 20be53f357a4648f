#include "gui/base/help.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>

#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include "gui/base/help_window.h"
#include "gui/browse/fix_master_dlg.h"
#include "gui_test_support.h"
#include "support/temp_dir.h"

namespace {

// Topics resolve to pages of the manual; unknown topics and anything shaped like a path fall
// back to the contents. DORVANE_HELP_DIR overrides the directory while it holds the contents.
TEST(Help, TopicsResolveToPagesOfTheManual) {
  const QDir dir(helpDirectory());
  ASSERT_FALSE(dir.path().isEmpty());
  const std::pair<QString, QString> cases[] = {{"", "index.html"},
                                               {"fixing-bad-master", "fixing-bad-master.html"},
                                               {"search-filter", "search-filter.html"},
                                               {"no-such-topic", "index.html"},
                                               {"../help/index", "index.html"}};
  for (const auto& [topic, page] : cases)
    EXPECT_EQ(topic.isEmpty() ? helpPath() : helpPath(topic), dir.filePath(page))
        << page.toStdString();

  const QByteArray old = qgetenv("DORVANE_HELP_DIR");
  testing_support::TempDir other;
  const QString path = QString::fromStdString(other.path().string());
  QFile index(path + "/index.html");
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.close();
  qputenv("DORVANE_HELP_DIR", path.toUtf8());
  EXPECT_EQ(helpPath("fixing-bad-master"), QDir::cleanPath(path) + "/index.html");
  qputenv("DORVANE_HELP_DIR", (path + "/missing").toUtf8());
  EXPECT_NE(helpPath(), QDir::cleanPath(path) + "/missing/index.html");
  if (old.isEmpty())
    qunsetenv("DORVANE_HELP_DIR");
  else
    qputenv("DORVANE_HELP_DIR", old);
}

// F1 in a dialog opens its topic in a help window that belongs to the dialog (so it takes
// input beside it), with Back and Forward through the pages seen.
TEST(Help, F1OpensTheTopicOfTheDialogInFront) {
  gui_test::ScriptedPrompter prompter;
  CFixMasterDlg dialog("The message", CFixMasterDlg::Form::Confirmation);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  QTest::keyClick(&dialog, Qt::Key_F1);
  auto* help = dialog.findChild<CHelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->pagePath(), helpPath("fixing-bad-master"));
  EXPECT_FALSE(help->backButton()->isEnabled());

  showHelp({}, &dialog);  // the contents, in the same window
  EXPECT_EQ(dialog.findChildren<CHelpWindow*>().size(), 1);
  EXPECT_EQ(help->pagePath(), helpPath());
  help->backButton()->click();
  EXPECT_EQ(help->pagePath(), helpPath("fixing-bad-master"));
  EXPECT_TRUE(help->forwardButton()->isEnabled());
  help->forwardButton()->click();
  EXPECT_EQ(help->pagePath(), helpPath());
}

// The help window opens centred over the main window, not at the screen's corner, and Esc
// and Ctrl+W close it.
TEST(Help, TheWindowOpensOverTheMainWindowAndClosesWithEscOrCtrlW) {
  gui_test::ScriptedPrompter prompter;
  QWidget main;
  const QRect area = main.screen()->availableGeometry();
  main.setGeometry(area.adjusted(area.width() / 8, 20, -area.width() / 4, -20));
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
    showHelp({}, &main);
    auto* help = main.findChild<CHelpWindow*>();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
    // Centred across the main window, and kept on the screen.
    EXPECT_LE(std::abs(help->frameGeometry().center().x() - main.frameGeometry().center().x()), 2)
        << key.toString().toStdString();
    EXPECT_TRUE(area.contains(help->frameGeometry())) << key.toString().toStdString();
    QTest::keySequence(help, key);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.findChild<CHelpWindow*>() == nullptr; }))
        << key.toString().toStdString();
  }
}

// Every page links only to pages and style sheets of the manual, all of which exist, and
// loads nothing from the network.
TEST(Help, ManualIsSelfContainedWithoutBrokenLinks) {
  const QDir dir(helpDirectory());
  const QStringList pages = dir.entryList({"*.html"}, QDir::Files);
  EXPECT_GE(pages.size(), 6);
  // Every page, each command's among them, is reached from the contents.
  QFile contents(dir.filePath("index.html"));
  ASSERT_TRUE(contents.open(QIODevice::ReadOnly));
  const QString index = QString::fromUtf8(contents.readAll());
  for (const QString& page : pages)
    EXPECT_TRUE(page == "index.html" || index.contains("href=\"" + page + "\""))
        << page.toStdString();
  const QRegularExpression reference(R"re((?:href|src)="([^"#]*)(#[^"]*)?")re");
  for (const QString& page : pages) {
    QFile file(dir.filePath(page));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains("<title>")) << page.toStdString();
    for (auto it = reference.globalMatch(html); it.hasNext();) {
      const QString target = it.next().captured(1);
      if (target.isEmpty()) continue;
      EXPECT_FALSE(target.contains(':')) << page.toStdString() << " -> " << target.toStdString();
      EXPECT_TRUE(QFileInfo(dir.filePath(target)).isFile())
          << page.toStdString() << " -> " << target.toStdString();
    }
  }
}

}  // namespace
