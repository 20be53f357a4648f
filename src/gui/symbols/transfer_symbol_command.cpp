#include "gui/symbols/transfer_symbol_command.h"

#include "core/transfer_symbol.h"
#include "gui/base/prompter.h"
#include "gui/symbols/move_symbol_dlg.h"

SymbolCommandOutcome runTransferSymbol(const SymbolCommandContext& context,
                                       core::TransferMode mode) {
  const bool move = mode == core::TransferMode::Move;
  CMoveSymbolDlg dialog(context.currentSymbol, context.currentName, context.portfolioDir,
                        context.portfolios, context.selectedPortfolio, mode, context.parent);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  if (dialog.destination().isEmpty()) return {};

  const core::TransferResult result =
      core::transfer_symbol(pathText(context.portfolioDir), masterBytes(context.currentSymbol),
                            pathText(dialog.destination()), mode, context.currentFileNumber);
  showCommandMessages(context.parent, result);
  // A move that failed part-way may still have changed the source: the grid then shows the
  // truth again.
  if (move && (result.ok || result.outcome == core::TransferOutcome::kFailed))
    return {ViewFollowUp::ReloadSymbols, {}, {}};
  return {};
}
