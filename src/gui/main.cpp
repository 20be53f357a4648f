// dorvane: the desktop application for MetaStock / CompuTrac price databases.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "gui/shell/dorvane_app.h"

namespace {

const char kUsage[] =
    "Usage: dorvane [DIR]\n"
    "\n"
    "Browse, check and repair end-of-day price databases (MASTER, F<n>.DAT, F<n>.DOP).\n"
    "\n"
    "Without DIR, Dorvane scans the root remembered from the last run (at first the one\n"
    "holding the current directory) for portfolio directories.\n"
    "\n"
    "  DIR        scan the directory tree DIR instead; it joins the list of roots for this\n"
    "             run only. The Portfolio Search Filter applies as usual.\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

bool has_display() {
  // A platform chosen explicitly (offscreen, wayland, ...) is Qt's business.
  if (std::getenv("QT_QPA_PLATFORM")) return true;
  return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(arg, "--version") == 0) {
      std::printf("dorvane %s\n", DORVANE_VERSION);
      return 0;
    }
    if (arg[0] == '-') {
      std::fprintf(stderr, "dorvane: unknown option %s\n\n%s", arg, kUsage);
      return 2;
    }
    if (!root.empty()) {
      std::fprintf(stderr, "dorvane: only one directory may be given\n\n%s", kUsage);
      return 2;
    }
    root = arg;
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
    std::fputs("dorvane: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
               "Run it on a desktop, or use dorvane-cli for the same work without one.\n",
               stderr);
    return 1;
  }

  CDorvaneApp app(argc, argv);
  if (!app.startUp(QString::fromStdString(root))) return 1;
  return app.exec();
}
