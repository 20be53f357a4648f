#include "gui/edit/edit_quote_command.h"

#include "core/edit_quote.h"
#include "gui/edit/edit_quote_dlg.h"

QuoteCommandOutcome runEditQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CEditQuoteDlg dialog(context.rows, row, context.parent);
  return quote_command::runDialog(context, dialog,
                                  [&] { return core::edit_quote(context.view, dialog.entry()); });
}
