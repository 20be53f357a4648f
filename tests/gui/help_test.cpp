#include "gui/shell/help.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
    EXPECT_EQ(topic.isEmpty() ? helpPath() : helpPath(topic), dir.filePath(page)) << page.toStdString();

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
