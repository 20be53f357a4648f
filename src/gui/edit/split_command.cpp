#include "gui/edit/split_command.h"

#include "core/split_quotes.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/split_dlg.h"

QuoteCommandOutcome runSplitCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CSplitDlg dialog(context.rows.text(row, QuoteRows::kDate), context.parent);
  return quote_command::runDialog(context, dialog,
                                  [&] { return core::split_quotes(context.view, dialog.entry()); });
}
