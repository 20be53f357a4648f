// dorvane: the desktop application for MetaStock / CompuTrac price databases.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QString>
#include <QStringList>

#include "gui/browse/dorvane_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/dorvane_app.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/screenshot.h"

namespace {

const char kUsage[] =
    "Usage: dorvane [DIR] [--screenshot FILE]\n"
    "\n"
    "Browse, check and repair end-of-day price databases (MASTER, F<n>.DAT, F<n>.DOP).\n"
    "\n"
    "Without DIR, Dorvane scans the root remembered from the last run (at first the one\n"
    "holding the current directory) for portfolio directories.\n"
    "\n"
    "  DIR                scan the directory tree DIR instead; it joins the list of roots\n"
    "                     for this run only. The Portfolio Search Filter applies as usual.\n"
    "  --screenshot FILE  once the first quotes are shown, save a picture of the main\n"
    "                     window as FILE (PNG) and exit; works without a display\n"
    "  --help             show this text and exit\n"
    "  --version          show the version and exit\n";

bool has_display() {
  // A platform chosen explicitly (offscreen, wayland, ...) is Qt's business.
  if (std::getenv("QT_QPA_PLATFORM")) return true;
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const QString screenshot = takeScreenshotOption(arguments);

  std::string root;
  for (const QString& argument : arguments) {
    if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (argument == QLatin1String("--version")) {
      std::printf("dorvane %s\n", DORVANE_VERSION);
      return 0;
    }
    if (argument.startsWith(QLatin1Char('-'))) {
      std::fprintf(stderr, "dorvane: unknown option %s\n\n%s", qPrintable(argument), kUsage);
      return 2;
    }
    if (!root.empty()) {
      std::fprintf(stderr, "dorvane: only one directory may be given\n\n%s", kUsage);
      return 2;
    }
    root = argument.toLocal8Bit().toStdString();
  }
  if (!root.empty()) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(root, error);
    if (error || !std::filesystem::is_directory(absolute, error)) {
      std::fprintf(stderr, "dorvane: %s is not a directory\n", root.c_str());
      return 2;
    }
    root = absolute.lexically_normal().string();
  }
  if (!has_display()) {
    if (screenshot.isEmpty()) {
      std::fputs(
          "dorvane: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
          "Run it on a desktop, or use dorvane-cli for the same work without one.\n",
          stderr);
      return 1;
    }
    // A picture needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }

  CDorvaneApp app(argc, argv);
  if (!app.startUp(QString::fromLocal8Bit(root.c_str()))) return 1;
  if (!screenshot.isEmpty()) {
    CDorvaneView* view = app.mainFrame()->view();
    scheduleScreenshot(app.mainFrame(), screenshot, [view] {
      return view->startUpDone() &&
             (view->quotesModel()->rowCount() > 0 || !view->portfoliosFound());
    });
  }
  return app.exec();
}
