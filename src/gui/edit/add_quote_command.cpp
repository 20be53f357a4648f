#include "gui/edit/add_quote_command.h"

#include "core/add_quote.h"
#include "core/entry_values.h"
#include "gui/base/prompter.h"
#include "gui/base/wait_cursor.h"
#include "gui/edit/add_quote_dlg.h"
#include "gui/edit/quote_rows.h"
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
  const qdb::DateSerial newDate = date == 0 ? 0 : qdb::previous_weekday(date, qdb::DateForm::kLong);
  if (newDate == 0) {
    // No weekday before it to add: the core says why, and nothing changes.
    quote_command::showMessages(context.parent, core::add_quote(context.view, dateText));
    return {};
  }
  const QString newDateText = QString::fromStdString(qdb::format_date_string(newDate));
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
  // On a series with times the copy takes the place of the first bar of the row's date, which
  // need not be the row's own bar: its row follows from its position.
  const std::int32_t newest = context.rows.record(0);
  if (context.rows.hasTime() && result.new_record >= 0 && newest >= result.new_record)
    return {true, static_cast<int>(newest + 1 - result.new_record), true};
  return {true, row + 1, true};
}
