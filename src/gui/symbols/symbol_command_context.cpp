#include "gui/symbols/symbol_command_context.h"

#include "gui/base/prompter.h"

void showCommandMessages(QWidget* parent, const core::CommandResult& result) {
  for (const std::string& text : result.messages)
    Prompter::instance().message(parent, QString::fromStdString(text));
}
