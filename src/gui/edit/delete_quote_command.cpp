#include "gui/edit/delete_quote_command.h"

#include "core/delete_quote.h"
#include "gui/base/prompter.h"
#include "gui/base/wait_cursor.h"
#include "gui/edit/delete_quote_dlg.h"
#include "gui/edit/quote_rows.h"

QuoteCommandOutcome runDeleteQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CDeleteQuoteDlg dialog(context.rows.text(row, QuoteRows::kDate), context.parent,
                         context.rows.timeText(row));
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !dialog.confirmed()) return {};

  core::CommandResult result;
  {
    const CWaitCursor wait;
    result = core::delete_quote(context.view, dialog.dateText().toStdString(),
                                quote_command::rowAddress(context.rows, row));
  }
  // The row below the deleted one, the next older day, comes up into its place.
  return quote_command::finish(context, result, row);
}
