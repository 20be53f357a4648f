#include "gui/shell/prompter.h"

#include "gui/shell/qt_prompter.h"

namespace {

Prompter* g_installed = nullptr;

Prompter& qt_prompter() {
  static QtPrompter prompter;
  return prompter;
}

}  // namespace

Prompter& Prompter::instance() { return g_installed ? *g_installed : qt_prompter(); }

Prompter* Prompter::install(Prompter* p) {
  Prompter* previous = g_installed;
  g_installed = p;
  return previous;
}
