#include "gui/edit/split_command.h"

#include "core/split_quotes.h"
#include "gui/edit/quote_rows.h"
#include "gui/edit/split_dlg.h"
#include "gui/shell/prompter.h"

QuoteCommandOutcome runSplitCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CSplitDlg dialog(context.rows.text(row, QuoteRows::kDate), context.parent);
  std::optional<core::CommandResult> result;
  dialog.setOkCheck([&] {
    return quote_command::runOnOk(
        &dialog, [&] { return core::split_quotes(context.view, dialog.entry()); }, result);
  });
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !result) return {};
  return quote_command::finish(context, *result, 0);
}
