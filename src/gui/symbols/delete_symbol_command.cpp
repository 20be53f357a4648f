#include "gui/symbols/delete_symbol_command.h"

#include "core/delete_symbol.h"
#include "gui/base/prompter.h"
#include "gui/symbols/delete_symbol_dlg.h"

SymbolCommandOutcome runDeleteSymbol(const SymbolCommandContext& context) {
  CDeleteSymbolDlg dialog(context.rowSymbol, context.parent);
  Prompter& prompter = Prompter::instance();
  prompter.beep();
  if (prompter.exec(dialog) != QDialog::Accepted) return {};

  const core::CommandResult result =
      core::delete_symbol(pathText(context.portfolioDir), pathText(context.masterPath),
                          masterBytes(context.rowSymbol), context.rowFileNumber);
  showCommandMessages(context.parent, result);
  if (!result.ok) return {};
  return {ViewFollowUp::ReloadSymbols, {}, {}};
}
