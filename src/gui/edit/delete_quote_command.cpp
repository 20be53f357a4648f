#include "gui/edit/delete_quote_command.h"

#include "core/delete_quote.h"
#include "gui/base/prompter.h"
#include "gui/base/wait_cursor.h"
#include "gui/edit/delete_quote_dlg.h"
#include "gui/edit/quote_rows.h"
#include "qdb/notifier.h"

namespace {

// Shows the library's own message (a date it can't find) while the deletion runs.
class NotifierScope {
 public:
  explicit NotifierScope(QWidget* parent)
      : m_previous(qdb::set_notifier([parent](const std::string& message) {
          Prompter::instance().message(parent, QString::fromStdString(message),
                                       Prompter::Icon::Warning, Prompter::Buttons::Ok);
        })) {}
  ~NotifierScope() { qdb::set_notifier(std::move(m_previous)); }
  NotifierScope(const NotifierScope&) = delete;
  NotifierScope& operator=(const NotifierScope&) = delete;

 private:
  qdb::Notifier m_previous;
};

}  // namespace

QuoteCommandOutcome runDeleteQuoteCommand(const QuoteCommandContext& context) {
  const int row = quote_command::currentRow(context);
  if (row < 0) return {};
  CDeleteQuoteDlg dialog(context.rows.text(row, QuoteRows::kDate), context.parent,
                         context.rows.timeText(row));
  if (Prompter::instance().exec(dialog) != QDialog::Accepted || !dialog.confirmed()) return {};

  core::CommandResult result;
  {
    const NotifierScope notifier(context.parent);
    const CWaitCursor wait;
    result = core::delete_quote(context.view, dialog.dateText().toStdString(),
                                quote_command::rowAddress(context.rows, row));
  }
  return quote_command::finish(context, result, 0);
}
