#include "gui/shell/screenshot.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QImage>
#include <QLabel>
#include <QTimer>

#include "support/temp_dir.h"

namespace {

TEST(Screenshot, OptionIsTakenOutOfTheArguments) {
  const struct {
    QStringList args;
    QString file;
    QStringList rest;
  } cases[] = {{{"dorvane", "--screenshot", "shot.png", "/data"}, "shot.png", {"dorvane", "/data"}},
               {{"dorvane", "--screenshot=a b.png"}, "a b.png", {"dorvane"}},
               {{"dorvane", "/data"}, "", {"dorvane", "/data"}},
               {{"dorvane", "--screenshot"}, "", {"dorvane"}}};
  for (const auto& c : cases) {
    QStringList args = c.args;
    EXPECT_EQ(takeScreenshotOption(args), c.file) << c.args.join(' ').toStdString();
    EXPECT_EQ(args, c.rest);
  }
}

// Runs the event loop until the screenshot reports, returning its result.
bool runUntilDone(QWidget* window, const QString& file, std::function<bool()> ready,
                  int timeoutMs) {
  QEventLoop loop;
  bool result = false;
  scheduleScreenshot(
      window, file, std::move(ready),
      [&](bool ok) {
        result = ok;
        loop.quit();
      },
      timeoutMs);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);  // a hang fails instead of blocking
  loop.exec();
  return result;
}

TEST(Screenshot, WaitsUntilReadyThenSavesTheGrab) {
  testing_support::TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "sub" / "shot.png").string());
  QLabel window("quotes");
  window.resize(320, 200);
  window.show();
  int polls = 0;
  ASSERT_TRUE(runUntilDone(
      &window, file, [&] { return ++polls >= 3; }, 5000));
  EXPECT_GE(polls, 3);
  const QImage image(file);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), window.size() * window.devicePixelRatio());
}

TEST(Screenshot, GivesUpWhenNeverReady) {
  testing_support::TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "never.png").string());
  QLabel window("empty");
  window.show();
  EXPECT_FALSE(runUntilDone(
      &window, file, [] { return false; }, 200));
  EXPECT_TRUE(QImage(file).isNull());
}

}  // namespace
