#include "gui/symbols/edit_symbol_command.h"

#include "core/rename_symbol.h"
#include "gui/base/prompter.h"
#include "gui/symbols/edit_symbol_dlg.h"

SymbolCommandOutcome runEditSymbol(const SymbolCommandContext& context) {
  // The name without its trailing blanks; leading blanks stay.
  QString name = context.rowName;
  while (name.endsWith(QLatin1Char(' '))) name.chop(1);

  CEditSymbolDlg dialog(context.rowSymbol, name, context.parent);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  // A typed name is written in the code page of the portfolio's names, or not at all.
  for (const QString& typed : {dialog.symbol(), dialog.name()}) {
    if (const QString refusal = unwritableName(typed); !refusal.isEmpty()) {
      Prompter::instance().message(context.parent, refusal);
      return {};
    }
  }

  const core::CommandResult result = core::rename_symbol(
      pathText(context.masterPath), masterBytes(context.rowSymbol), masterBytes(dialog.symbol()),
      masterBytes(dialog.name()), context.rowFileNumber);
  showCommandMessages(context.parent, result);
  if (!result.ok) return {};
  return {ViewFollowUp::UpdateSymbolRow, dialog.symbol(), dialog.name()};
}
