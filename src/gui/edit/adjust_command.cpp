#include "gui/edit/adjust_command.h"

#include "core/adjust_quotes.h"
#include "core/quote_texts.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/quote_rows.h"

QuoteCommandOutcome runAdjustCommand(const QuoteCommandContext& context) {
  if (quote_command::currentRow(context) < 0) return {};
  CAdjustDlg dialog(QString::fromStdString(core::display_date_text(context.view.first_date)),
                    QString::fromStdString(core::display_date_text(context.view.last_date)),
                    context.parent);
  return quote_command::runDialog(
      context, dialog, [&] { return core::adjust_quotes(context.view, dialog.entry()); });
}
