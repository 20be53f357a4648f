#include "gui/edit/edit_quote_command.h"

#include "core/edit_quote.h"
#include "gui/edit/edit_quote_dlg.h"

QuoteCommandOutcome runEditQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CEditQuoteDlg dialog(context.rows, row, context.parent);
  QuoteCommandOutcome outcome = quote_command::runDialog(
      context, dialog, [&] { return core::edit_quote(context.view, dialog.entry()); });
  // The dialog steps from day to day: the day written is the one to stay on.
  if (outcome.reload) outcome.row = dialog.row();
  return outcome;
}
