// The About box and its hyperlinks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "gui/base/static_link.h"
#include "gui/shell/about_dlg.h"
#include "gui_test_support.h"

namespace {

// Answers every URL as ok says and records what was asked.
class FakeDesktop {
 public:
  explicit FakeDesktop(bool ok)
      : m_previous(CStaticLink::setUrlOpener([this, ok](const QUrl& url) {
          opened << url.toString();
          return ok;
        })) {}
  ~FakeDesktop() { CStaticLink::setUrlOpener(m_previous); }
  QStringList opened;

 private:
  CStaticLink::UrlOpener m_previous;
};

// A registry of its own for each test, as the application object would own it.
class OwnLinks {
 public:
  OwnLinks() : m_previous(CVisitedLinks::install(&links)) {}
  ~OwnLinks() { CVisitedLinks::install(m_previous); }
  CVisitedLinks links;

 private:
  CVisitedLinks* m_previous;
};

QColor textColour(const QLabel& label) { return label.palette().color(QPalette::WindowText); }

QStringList texts(const QWidget& widget) {
  QStringList all;
  for (const QLabel* label : widget.findChildren<QLabel*>()) all << label->text();
  for (const QGroupBox* group : widget.findChildren<QGroupBox*>()) all << group->title();
  return all;
}

TEST(AboutDlgTest, ShowsTheProgramsFactsAndTheWordSizeOfThisBuild) {
  CAboutDlg about;
  EXPECT_EQ(about.windowTitle(), "About Dorvane");
  const QStringList shown = texts(about);
  for (const char* text : {"Dorvane Version 3.4", "Legal Stuff", "What Dorvane Does",
                           "Edits data in MetaStock or CompuTrac format"})
    EXPECT_TRUE(shown.contains(text)) << text;
  EXPECT_TRUE(shown.contains(CAboutDlg::legalNotice()));
  EXPECT_TRUE(CAboutDlg::legalNotice().contains("MetaStock is a registered trademark of"));
  EXPECT_TRUE(CAboutDlg::legalNotice().contains("CompuTrac is a trademark of"));
  const QString wordSize = QString("A %1 bit application").arg(8 * int(sizeof(void*)));
  EXPECT_EQ(CAboutDlg::wordSizeText(), wordSize);
  EXPECT_TRUE(shown.contains(wordSize));
  if (sizeof(void*) == 8) {
    EXPECT_FALSE(shown.contains("A 32 bit application"));
  }
  EXPECT_FALSE(about.iconLabel()->pixmap().isNull());
  EXPECT_EQ(about.emailLink()->text(), CAboutDlg::kEmailAddress);
  EXPECT_EQ(about.webLink()->text(), CAboutDlg::kWebAddress);
}

TEST(StaticLinkTest, AVisitedLinkTurnsPurpleForTheRestOfTheRunAndAFailureBeeps) {
  OwnLinks own;
  gui_test::ScriptedPrompter prompter;
  {
    FakeDesktop noBrowser(false);
    CAboutDlg about;
    EXPECT_EQ(textColour(*about.emailLink()), QColor(0, 0, 255));
    EXPECT_TRUE(about.emailLink()->font().underline());
    prompter.expectMessage();
    about.emailLink()->click();
    EXPECT_EQ(noBrowser.opened, QStringList{"mailto:" + CAboutDlg::kEmailAddress});
    EXPECT_EQ(prompter.beeps, 1);
    // Besides the beep, a message says what could not be opened.
    EXPECT_EQ(prompter.messageTexts(),
              QStringList{"The desktop could not open mailto:" + CAboutDlg::kEmailAddress + "."});
    EXPECT_EQ(textColour(*about.emailLink()), QColor(0, 0, 255));
    EXPECT_EQ(own.links.emailVisited, 0);
  }
  {
    FakeDesktop browser(true);
    CAboutDlg about;
    QTest::mouseClick(about.webLink(), Qt::LeftButton);
    // Reached by the keyboard, Enter opens a link as a click does (Space too).
    about.emailLink()->setFocus();
    QTest::keyClick(about.emailLink(), Qt::Key_Return);
    EXPECT_EQ(browser.opened,
              (QStringList{CAboutDlg::kWebAddress, "mailto:" + CAboutDlg::kEmailAddress}));
    EXPECT_EQ(textColour(*about.webLink()), QColor(128, 0, 128));
    EXPECT_EQ(prompter.beeps, 1);
  }
  // Opened again in the same run, both links are still visited.
  CAboutDlg again;
  EXPECT_EQ(textColour(*again.webLink()), QColor(128, 0, 128));
  EXPECT_EQ(textColour(*again.emailLink()), QColor(128, 0, 128));
  EXPECT_EQ(own.links.webVisited, 1);
  FakeDesktop browser(true);
  QTest::keyClick(again.webLink(), Qt::Key_Space);
  EXPECT_EQ(browser.opened, QStringList{CAboutDlg::kWebAddress});
  EXPECT_EQ(again.webLink()->focusPolicy(), Qt::StrongFocus);
}

TEST(StaticLinkTest, HandInsideArrowOutsideAndNoChangeForASecondAfterAClick) {
  OwnLinks own;
  FakeDesktop browser(true);
  CStaticLink link("http://www.example.org/");
  link.resize(200, 20);
  link.show();
  const auto move = [&link](QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, link.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&link, &event);
  };
  move({10, 10});
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  move({300, 10});
  EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);

  move({10, 10});
  link.click();
  EXPECT_TRUE(link.isJustClicked());
  EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
  move({12, 10});  // ignored for a second
  EXPECT_EQ(link.cursor().shape(), Qt::ArrowCursor);
  EXPECT_FALSE(link.isHovered());
  for (int waited = 0; link.isJustClicked() && waited < 3000; waited += 50) QTest::qWait(50);
  EXPECT_FALSE(link.isJustClicked());
  move({12, 10});
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
