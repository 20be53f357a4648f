#include "gui/edit/edit_quote_command.h"

#include "core/edit_quote.h"
#include "gui/edit/edit_quote_dlg.h"
#include "gui/shell/prompter.h"

QuoteCommandOutcome runEditQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CEditQuoteDlg dialog(context.rows, row, context.parent);
  std::optional<core::CommandResult> result;
  dialog.setOkCheck([&] {
    return quote_command::runOnOk(
        &dialog, [&] { return core::edit_quote(context.view, dialog.entry()); }, result);
  });
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !result) return {};
  return quote_command::finish(context, *result, 0);
}
