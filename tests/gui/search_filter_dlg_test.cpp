#include "gui/browse/search_filter_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui_test_support.h"

namespace gui_test {
namespace {

class SearchFilterDlgTest : public ::testing::Test {
 protected:
  // Opens the dialog as the command does and presses OK (the default button) or Cancel.
  void press(CSearchFilterDlg& dlg, QDialogButtonBox::StandardButton which) {
    dlg.show();
    auto* button = dlg.findChild<QDialogButtonBox*>()->button(which);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->isDefault(), which == QDialogButtonBox::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
  }

  const QStringList m_roots = {"/", "/home/ann", "/mnt/data"};
  ScriptedPrompter m_prompter;
};

TEST_F(SearchFilterDlgTest, LimitOnWithPathUnderListedRootIsAccepted) {
  CSearchFilterDlg dlg(m_roots);
  dlg.setLimit(1);
  dlg.setFilterPath("/mnt/data/metastock/stocks");
  dlg.setAutoRepair(1);
  press(dlg, QDialogButtonBox::Ok);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(m_prompter.messages.empty());
  EXPECT_EQ(dlg.limit(), 1);
  EXPECT_EQ(dlg.filterPath(), "/mnt/data/metastock/stocks");
  EXPECT_EQ(dlg.autoRepair(), 1);
}

TEST_F(SearchFilterDlgTest, UnknownRootOrRelativePathShowsMessageAndStaysOpen) {
  for (const QString& path :
       {QString("data/ms"), QString(""), QString("~/data"), QString("d:\\data")}) {
    EXPECT_FALSE(CSearchFilterDlg::isAcceptable(1, path, m_roots)) << path.toStdString();
  }
  for (const QString& path : {QString("/srv/quotes"), QString("data/ms")}) {
    m_prompter.messages.clear();
    m_prompter.expectMessage();
    CSearchFilterDlg dlg({"/home/ann", "/mnt/data"});
    dlg.setLimit(1);
    dlg.setFilterPath(path);
    press(dlg, QDialogButtonBox::Ok);
    ASSERT_EQ(m_prompter.messages.size(), 1u) << path.toStdString();
    EXPECT_EQ(m_prompter.messages[0].text, "The Search Filter path refers to an unknown drive");
    EXPECT_EQ(m_prompter.messages[0].icon, Prompter::Icon::Warning);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.filterPath(), path);
    EXPECT_EQ(dlg.limit(), 1);
  }
}

TEST_F(SearchFilterDlgTest, LimitOffAcceptsAnyTextAndCancelChecksNothing) {
  EXPECT_TRUE(CSearchFilterDlg::isAcceptable(0, "q:\\nowhere", {}));
  EXPECT_TRUE(CSearchFilterDlg::isAcceptable(0, "", m_roots));
  CSearchFilterDlg off({});
  off.setLimit(0);
  off.setFilterPath("not a path");
  press(off, QDialogButtonBox::Ok);
  EXPECT_EQ(off.result(), QDialog::Accepted);

  CSearchFilterDlg cancelled({});
  cancelled.setLimit(1);
  cancelled.setFilterPath("relative");
  press(cancelled, QDialogButtonBox::Cancel);
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_FALSE(cancelled.isVisible());
  EXPECT_TRUE(m_prompter.messages.empty());
}

// "~" stands for the home directory; Browse fills the field from the directory chooser; a
// path the settings could not read back is refused before anything is stored.
TEST_F(SearchFilterDlgTest, HomeShorthandBrowseAndOverLongPaths) {
  const QString home = QDir::homePath();
  CSearchFilterDlg dlg({home});
  dlg.setLimit(1);
  dlg.setFilterPath("~/quotes");
  press(dlg, QDialogButtonBox::Ok);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.filterPath(), home + "/quotes");

  QString asked;
  dlg.setDirectoryChooser([&](QWidget*, const QString& start) {
    asked = start;
    return home + "/chosen";
  });
  dlg.setFilterPath("~");
  QTest::mouseClick(dlg.browseButton(), Qt::LeftButton);
  EXPECT_EQ(asked, home);
  EXPECT_EQ(dlg.filterPath(), home + "/chosen");

  const QString longest = home + "/" + QString(258 - home.toUtf8().size() - 1, 'x');
  dlg.setFilterPath(longest + "y");
  m_prompter.expectMessage();
  press(dlg, QDialogButtonBox::Ok);
  EXPECT_EQ(m_prompter.messageTexts(), QStringList({"The Search Filter path is too long"}));
  EXPECT_TRUE(dlg.isVisible());
  dlg.setFilterPath(longest);
  press(dlg, QDialogButtonBox::Ok);
  EXPECT_FALSE(dlg.isVisible());
}

TEST_F(SearchFilterDlgTest, PathFieldIsEnabledExactlyWhileBoxIsTicked) {
  CSearchFilterDlg dlg(m_roots);
  EXPECT_EQ(dlg.windowTitle(), "Portfolio Search Filter");
  EXPECT_EQ(dlg.limitBox()->text(), "Only search for Portfolios in paths like that below");
  EXPECT_EQ(dlg.autoRepairBox()->text(), "Automatically repair bad Masters");
  EXPECT_FALSE(dlg.pathEdit()->isEnabled());
  dlg.setLimit(1);
  dlg.show();
  EXPECT_TRUE(dlg.pathEdit()->isEnabled());
  for (int limit : {0, 1}) {
    QTest::mouseClick(dlg.limitBox(), Qt::LeftButton);
    EXPECT_EQ(dlg.limit(), limit);
    EXPECT_EQ(dlg.pathEdit()->isEnabled(), limit == 1);
  }
}

}  // namespace
}  // namespace gui_test
