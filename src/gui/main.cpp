// dorvane: the desktop application for MetaStock / CompuTrac price databases.
#include <cstdio>

#include <QString>
#include <QStringList>

#include "core/version.h"
#include "gui/base/path_text.h"
#include "gui/base/platform_ui.h"
#include "gui/base/prompter.h"
#include "gui/browse/dorvane_view.h"
#include "gui/edit/quotes_grid_model.h"
#include "gui/shell/dorvane_app.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/screenshot.h"
#include "gui/shell/start_arguments.h"

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << fromPathString(argv[i]);
  const StartArguments start = parseStartArguments(arguments);

  switch (start.action) {
    case StartArguments::Action::ShowHelp:
      std::fputs(qPrintable(startUsage()), stdout);
      return 0;
    case StartArguments::Action::ShowVersion:
      std::printf("dorvane %s\n", core::kVersion);
      return 0;
    case StartArguments::Action::Refuse:
      std::fprintf(stderr, "%s\n\n%s", qPrintable(start.error), qPrintable(startUsage()));
      // Started from a launcher, nobody sees standard error: say it in a window as well.
      if (hasDisplay()) {
        CDorvaneApp app(argc, argv);
        Prompter::instance().message(nullptr, start.error.mid(QStringLiteral("dorvane: ").size()),
                                     Prompter::Icon::Stop);
      }
      return 2;
    case StartArguments::Action::Run:
      break;
  }
  if (!hasDisplay()) {
    if (start.screenshot.isEmpty()) {
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
  if (!app.startUp(start.root)) return 1;
  if (!start.screenshot.isEmpty()) {
    CDorvaneView* view = app.mainFrame()->view();
    scheduleScreenshot(app.mainFrame(), start.screenshot, [view] {
      return view->startUpDone() &&
             (view->quotesModel()->rowCount() > 0 || !view->portfoliosFound());
    });
  }
  return app.exec();
}
