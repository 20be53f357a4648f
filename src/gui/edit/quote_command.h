// What every quote command controller takes from the view and gives back to it. A controller
// runs its dialog through the prompter, calls the core command (the one dorvane-cli calls),
// shows the core's messages, writes the settings the core names after a success, and answers
// what the view must do next.
#pragma once

#include <functional>
#include <optional>

#include "core/command_result.h"
#include "core/quote_address.h"
#include "core/view_state.h"

class CQuoteCommandDlg;
class CSettingsStore;
class QWidget;
class QuoteRows;

struct QuoteCommandContext {
  QWidget* parent;           // the dialogs' and message boxes' parent
  core::ViewState view;      // the symbol whose quotes the grid shows
  CSettingsStore& settings;  // where a success leaves its entries
  const QuoteRows& rows;     // the quotes grid's texts
  int currentRow;            // the current quote row (0 the newest)
};

struct QuoteCommandOutcome {
  bool reload = false;     // fill the quotes grid again...
  int row = 0;             // ...with this row current and selected
  bool editAfter = false;  // then run the Edit command on that row
};

namespace quote_command {

// Shows the result's messages in order, each in a box with OK.
void showMessages(QWidget* parent, const core::CommandResult& result);
// Writes the settings a successful result names.
void writeSettings(CSettingsStore& settings, const core::CommandResult& result);
// Whether a result refuses the dialog's entries (the dialog then stays open).
bool refusesEntries(const core::CommandResult& result);
// The current row, or -1 when the grid has no such row.
int currentRow(const QuoteCommandContext& context);
// The quote of row as a command addresses it: on a series with times, and on a daily series
// whose file holds the row's date more than once, the one record of the row (its position,
// checked against its date and time); otherwise by its date alone.
core::QuoteAddress rowAddress(const QuoteRows& rows, int row);
// After the dialog: shows the result's messages; a success writes its settings and asks for a
// reload with row current, a failure asks for nothing.
QuoteCommandOutcome finish(const QuoteCommandContext& context, const core::CommandResult& result,
                           int row);
// Shows dialog, whose OK runs command (wait cursor shown): entries it refuses get their message
// and keep the dialog open; any other result closes it and is finished with the row it acted
// on current (the commands that use it keep every row where it was). Cancel asks for nothing.
QuoteCommandOutcome runDialog(const QuoteCommandContext& context, CQuoteCommandDlg& dialog,
                              const std::function<core::CommandResult()>& command);

}  // namespace quote_command
