#include "gui/browse/search_filter_dlg.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <vector>

#include "gui/shell/prompter.h"

namespace {

// Records every message instead of showing it.
class RecordingPrompter : public Prompter {
 public:
  struct Shown {
    QString text;
    Icon icon;
  };
  std::vector<Shown> messages;

  Answer message(QWidget*, const QString& text, Icon icon, Buttons) override {
    messages.push_back({text, icon});
    return Answer::Ok;
  }
  int exec(QDialog&) override { return 0; }
  void beep() override {}
};

class SearchFilterDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { m_previous = Prompter::install(&m_prompter); }
  void TearDown() override { Prompter::install(m_previous); }

  // Opens the dialog as the command does and presses OK.
  void pressOk(CSearchFilterDlg& dlg) {
    dlg.show();
    auto* ok = dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    QTest::mouseClick(ok, Qt::LeftButton);
  }

  const QStringList m_roots = {"/", "/home/ann", "/mnt/data"};
  RecordingPrompter m_prompter;
  Prompter* m_previous = nullptr;
};

TEST_F(SearchFilterDlgTest, LimitOnWithPathUnderListedRootIsAccepted) {
  CSearchFilterDlg dlg(m_roots);
  dlg.setLimit(1);
  dlg.setFilterPath("/mnt/data/metastock/stocks");
  dlg.setAutoRepair(1);
  pressOk(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(m_prompter.messages.empty());
  EXPECT_EQ(dlg.limit(), 1);
  EXPECT_EQ(dlg.filterPath(), "/mnt/data/metastock/stocks");
  EXPECT_EQ(dlg.autoRepair(), 1);
}

TEST_F(SearchFilterDlgTest, UnknownRootShowsMessageAndStaysOpen) {
  CSearchFilterDlg dlg({"/home/ann", "/mnt/data"});
  dlg.setLimit(1);
  dlg.setFilterPath("/srv/quotes");
  pressOk(dlg);
  ASSERT_EQ(m_prompter.messages.size(), 1u);
  EXPECT_EQ(m_prompter.messages[0].text, "The Search Filter path refers to an unknown drive");
  EXPECT_EQ(m_prompter.messages[0].icon, Prompter::Icon::Warning);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.filterPath(), "/srv/quotes");
  EXPECT_EQ(dlg.limit(), 1);
}

TEST_F(SearchFilterDlgTest, RelativeOrEmptyPathIsRefusedWithLimitOn) {
  for (const QString& path :
       {QString("data/ms"), QString(""), QString("~/data"), QString("d:\\data")}) {
    EXPECT_FALSE(CSearchFilterDlg::isAcceptable(1, path, m_roots)) << path.toStdString();
  }
  CSearchFilterDlg dlg(m_roots);
  dlg.setLimit(1);
  dlg.setFilterPath("data/ms");
  pressOk(dlg);
  EXPECT_EQ(m_prompter.messages.size(), 1u);
  EXPECT_TRUE(dlg.isVisible());
}

TEST_F(SearchFilterDlgTest, LimitOffAcceptsAnyText) {
  EXPECT_TRUE(CSearchFilterDlg::isAcceptable(0, "q:\\nowhere", {}));
  EXPECT_TRUE(CSearchFilterDlg::isAcceptable(0, "", m_roots));
  CSearchFilterDlg dlg({});
  dlg.setLimit(0);
  dlg.setFilterPath("not a path");
  pressOk(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_TRUE(m_prompter.messages.empty());
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
  QTest::mouseClick(dlg.limitBox(), Qt::LeftButton);
  EXPECT_EQ(dlg.limit(), 0);
  EXPECT_FALSE(dlg.pathEdit()->isEnabled());
  QTest::mouseClick(dlg.limitBox(), Qt::LeftButton);
  EXPECT_EQ(dlg.limit(), 1);
  EXPECT_TRUE(dlg.pathEdit()->isEnabled());
}

TEST_F(SearchFilterDlgTest, CancelClosesWithoutCheck) {
  CSearchFilterDlg dlg({});
  dlg.setLimit(1);
  dlg.setFilterPath("relative");
  dlg.show();
  QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel),
                    Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(m_prompter.messages.empty());
}

}  // namespace
