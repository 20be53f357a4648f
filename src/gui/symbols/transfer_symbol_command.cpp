#include "gui/symbols/transfer_symbol_command.h"

#include "core/transfer_symbol.h"
#include "gui/shell/prompter.h"
#include "gui/symbols/move_symbol_dlg.h"

SymbolCommandOutcome runTransferSymbol(const SymbolCommandContext& context, bool move) {
  CMoveSymbolDlg dialog(context.currentSymbol, context.currentName, context.portfolioDir,
                        context.portfolios, context.selectedPortfolio, move, context.parent);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  if (dialog.destination().isEmpty()) return {};

  const core::TransferResult result =
      core::transfer_symbol(pathText(context.portfolioDir), masterBytes(context.currentSymbol),
                            pathText(dialog.destination()), move);
  showCommandMessages(context.parent, result);
  // A move that failed part-way may still have changed the source: the grid then shows the
  // truth again.
  if (move && (result.ok || result.outcome == core::TransferOutcome::kFailed))
    return {ViewFollowUp::ReloadSymbols, {}, {}};
  return {};
}
