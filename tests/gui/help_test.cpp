#include "gui/shell/help.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

TEST(Help, TopicsResolveToPagesOfTheManual) {
  const QString dir = helpDirectory();
  ASSERT_FALSE(dir.isEmpty());
  EXPECT_EQ(helpPath(), QDir(dir).filePath("index.html"));
  EXPECT_EQ(helpPath("fixing-bad-master"), QDir(dir).filePath("fixing-bad-master.html"));
  EXPECT_EQ(helpPath("search-filter"), QDir(dir).filePath("search-filter.html"));
  // Unknown topics and anything shaped like a path fall back to the contents.
  EXPECT_EQ(helpPath("no-such-topic"), QDir(dir).filePath("index.html"));
  EXPECT_EQ(helpPath("../help/index"), QDir(dir).filePath("index.html"));
}

TEST(Help, EnvironmentOverridesTheManualDirectory) {
  const QByteArray old = qgetenv("DORVANE_HELP_DIR");
  const QString dir = QDir::tempPath() + "/dorvane-help-test-" +
                      QString::number(QCoreApplication::applicationPid());
  QDir().mkpath(dir);
  QFile index(dir + "/index.html");
  ASSERT_TRUE(index.open(QIODevice::WriteOnly));
  index.close();
  qputenv("DORVANE_HELP_DIR", dir.toUtf8());
  EXPECT_EQ(helpPath("fixing-bad-master"), QDir::cleanPath(dir) + "/index.html");
  // A directory without the contents page is passed over.
  qputenv("DORVANE_HELP_DIR", (dir + "/missing").toUtf8());
  EXPECT_NE(helpPath(), QDir::cleanPath(dir) + "/missing/index.html");
  if (old.isEmpty())
    qunsetenv("DORVANE_HELP_DIR");
  else
    qputenv("DORVANE_HELP_DIR", old);
  QDir(dir).removeRecursively();
}

// Every page links only to pages and style sheets of the manual, all of which exist, and
// loads nothing from the network.
TEST(Help, ManualIsSelfContainedWithoutBrokenLinks) {
  const QDir dir(helpDirectory());
  const QStringList pages = dir.entryList({"*.html"}, QDir::Files);
  EXPECT_GE(pages.size(), 6);
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
