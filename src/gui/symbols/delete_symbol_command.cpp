#include "gui/symbols/delete_symbol_command.h"

#include "core/delete_symbol.h"
#include "gui/base/prompter.h"
#include "gui/symbols/delete_symbol_dlg.h"

SymbolCommandOutcome runDeleteSymbol(const SymbolCommandContext& context) {
  CDeleteSymbolDlg dialog(context.rowSymbol, context.parent);
  Prompter& prompter = Prompter::instance();
  prompter.beep();
  if (prompter.exec(dialog) != QDialog::Accepted) return {};

  // A trash that can't take the files is told before anything changes, with the choice of
  // deleting them instead.
  bool toTrash = true;
  if (const auto refusal = core::trash_refusal(pathText(context.portfolioDir))) {
    const QString question =
        QString::fromStdString(*refusal) + "\n\nDelete the symbol's files instead?";
    if (prompter.message(context.parent, question, Prompter::Icon::Question,
                         Prompter::Buttons::YesNo) != Prompter::Answer::Yes) {
      return {};
    }
    toTrash = false;
  }
  const core::CommandResult result =
      core::delete_symbol(pathText(context.portfolioDir), pathText(context.masterPath),
                          masterBytes(context.rowSymbol), context.rowFileNumber, toTrash);
  showCommandMessages(context.parent, result);
  if (!result.ok) return {};
  return {ViewFollowUp::ReloadSymbols, {}, {}};
}
