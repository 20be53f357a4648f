#include "gui/shell/screenshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

constexpr int kPollMs = 50;
// Time for the paints and layout passes that the loaded data has queued.
constexpr int kSettleMs = 200;

void finish(const std::function<void(bool)>& done, bool ok) {
  if (done)
    done(ok);
  else
    QCoreApplication::exit(ok ? 0 : 1);
}

void grabInto(QWidget* window, const QString& file, const std::function<void(bool)>& done) {
  const QPixmap picture = window->grab();
  QDir().mkpath(QFileInfo(file).absolutePath());
  const bool saved = !picture.isNull() && picture.save(file);
  if (saved) {
    std::fprintf(stderr, "screenshot: %dx%d saved to %s\n", picture.width(), picture.height(),
                 qPrintable(QDir::toNativeSeparators(file)));
  } else {
    std::fprintf(stderr, "screenshot: could not save %s\n",
                 qPrintable(QDir::toNativeSeparators(file)));
  }
  finish(done, saved);
}

}  // namespace

QString takeScreenshotOption(QStringList& arguments) {
  static const QString kOption = QStringLiteral("--screenshot");
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& word = arguments[i];
    if (word == kOption) {
      const QString file = i + 1 < arguments.size() ? arguments[i + 1] : QString();
      arguments.remove(i, i + 1 < arguments.size() ? 2 : 1);
      return file;
    }
    if (word.startsWith(kOption + u'=')) {
      const QString file = word.mid(kOption.size() + 1);
      arguments.remove(i);
      return file;
    }
  }
  return {};
}

void scheduleScreenshot(QWidget* window, const QString& file, std::function<bool()> ready,
                        std::function<void(bool)> done, int timeoutMs) {
  auto* poll = new QTimer(window);
  poll->setInterval(kPollMs);
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QPointer<QWidget> target(window);
  QObject::connect(poll, &QTimer::timeout, window, [=]() {
    if (ready && ready()) {
      poll->stop();
      poll->deleteLater();
      QTimer::singleShot(kSettleMs, window, [=]() {
        if (target) grabInto(target, file, done);
      });
      return;
    }
    if (clock->elapsed() > timeoutMs) {
      poll->stop();
      poll->deleteLater();
      std::fprintf(stderr, "screenshot: the window did not show its data within %d ms\n",
                   timeoutMs);
      finish(done, false);
    }
  });
  poll->start();
}
