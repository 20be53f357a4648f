#include "gui/edit/add_quote_command.h"

#include "core/add_quote.h"
#include "core/entry_values.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/quote_rows.h"
#include "gui/shell/prompter.h"
#include "gui/shell/wait_cursor.h"
#include "qdb/dates.h"

namespace {

bool grid_has_date(const QuoteRows& rows, const QString& dateText) {
  for (int row = 0; row < rows.rowCount(); ++row) {
    if (rows.text(row, QuoteRows::kDate) == dateText) return true;
  }
  return false;
}

}  // namespace

QuoteCommandOutcome runAddQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  const std::string dateText = context.rows.text(row, QuoteRows::kDate).toStdString();
  const qdb::DateSerial date = core::view_date(dateText);
  const qdb::DateSerial newDate = date == 0 ? 0 : core::previous_weekday(date);
  if (newDate == 0) {
    // No weekday before it to add: the core says why, and nothing changes.
    quote_command::showMessages(context.parent, core::add_quote(context.view, dateText));
    return {};
  }
  const QString newDateText = QString::fromStdString(qdb::format_date_string(newDate, 3, '/'));
  if (grid_has_date(context.rows, newDateText)) {
    Prompter::instance().message(context.parent,
                                 QStringLiteral("Date %1 already exists.").arg(newDateText),
                                 Prompter::Icon::Warning, Prompter::Buttons::Ok);
    return {};
  }

  CAddQuoteDlg dialog(newDateText, context.parent);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};

  core::AddQuoteResult result;
  {
    const CWaitCursor wait;
    result = core::add_quote(context.view, dateText);
  }
  quote_command::showMessages(context.parent, result);
  if (!result.ok) return {true, 0, false};
  quote_command::writeSettings(context.settings, result);
  return {true, row + 1, true};
}
