#include "gui/edit/adjust_command.h"

#include "core/adjust_quotes.h"
#include "gui/edit/adjust_dlg.h"
#include "gui/edit/quote_rows.h"
#include "gui/shell/prompter.h"

QuoteCommandOutcome runAdjustCommand(const QuoteCommandContext& context) {
  if (quote_command::currentRow(context) < 0) return {};
  CAdjustDlg dialog(QString::fromStdString(context.view.first_date_text),
                    QString::fromStdString(context.view.last_date_text), context.parent);
  std::optional<core::CommandResult> result;
  dialog.setOkCheck([&] {
    return quote_command::runOnOk(
        &dialog, [&] { return core::adjust_quotes(context.view, dialog.entry()); }, result);
  });
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !result) return {};
  return quote_command::finish(context, *result, 0);
}
