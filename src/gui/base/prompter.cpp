#include "gui/base/prompter.h"

#include "gui/base/qt_prompter.h"

namespace {

Prompter* gInstalled = nullptr;

Prompter& qtPrompter() {
  static QtPrompter prompter;
  return prompter;
}

}  // namespace

Prompter& Prompter::instance() { return gInstalled ? *gInstalled : qtPrompter(); }

Prompter* Prompter::install(Prompter* p) {
  Prompter* previous = gInstalled;
  gInstalled = p;
  return previous;
}
