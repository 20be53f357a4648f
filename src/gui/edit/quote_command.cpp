#include "gui/edit/quote_command.h"

#include <algorithm>

#include "gui/base/prompter.h"
#include "gui/base/settings_store.h"
#include "gui/base/wait_cursor.h"
#include "gui/edit/quote_command_dlg.h"
#include "gui/edit/quote_rows.h"

namespace quote_command {

void showMessages(QWidget* parent, const core::CommandResult& result) {
  for (const std::string& message : result.messages) {
    Prompter::instance().message(parent, QString::fromStdString(message), Prompter::Icon::Warning,
                                 Prompter::Buttons::Ok);
  }
}

void writeSettings(CSettingsStore& settings, const core::CommandResult& result) {
  for (const core::SettingValue& value : result.settings) {
    settings.SetString(QString::fromStdString(value.section), QString::fromStdString(value.name),
                       QString::fromStdString(value.text));
  }
}

bool refusesEntries(const core::CommandResult& result) {
  return !result.ok && result.refused_entries;
}

int currentRow(const QuoteCommandContext& context) {
  const int row = context.currentRow;
  return row >= 0 && row < context.rows.rowCount() ? row : -1;
}

core::QuoteAddress rowAddress(const QuoteRows& rows, int row) {
  core::QuoteAddress address;
  if (rows.hasTime()) {
    address.seconds = rows.seconds(row);
    address.record = rows.record(row);
    return address;
  }
  // A daily series names its quote by its date, unless the file holds that date more than
  // once: then the row's own record is addressed, so the change never goes to its twin.
  const QString date = rows.text(row, QuoteRows::kDate);
  for (int other = 0; other < rows.rowCount(); ++other) {
    if (other != row && rows.text(other, QuoteRows::kDate) == date) {
      address.record = rows.record(row);
      break;
    }
  }
  return address;
}

QuoteCommandOutcome finish(const QuoteCommandContext& context, const core::CommandResult& result,
                           int row) {
  showMessages(context.parent, result);
  if (!result.ok) return {};
  writeSettings(context.settings, result);
  return {true, row, false};
}

namespace {

// The OK check of a dialog: runs the command. Entries it refuses get their message and keep
// the dialog open; any other result is kept in result and closes it.
bool runOnOk(QWidget* dialog, const std::function<core::CommandResult()>& command,
             std::optional<core::CommandResult>& result) {
  core::CommandResult outcome;
  {
    const CWaitCursor wait;
    outcome = command();
  }
  if (refusesEntries(outcome)) {
    showMessages(dialog, outcome);
    return false;
  }
  result = std::move(outcome);
  return true;
}

}  // namespace

QuoteCommandOutcome runDialog(const QuoteCommandContext& context, CQuoteCommandDlg& dialog,
                              const std::function<core::CommandResult()>& command) {
  std::optional<core::CommandResult> result;
  dialog.setOkCheck([&] { return runOnOk(&dialog, command, result); });
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !result) return {};
  return finish(context, *result, std::max(currentRow(context), 0));
}

}  // namespace quote_command
