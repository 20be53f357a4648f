#include "gui/analysis/export_command.h"

#include <QCheckBox>

#include "core/export.h"
#include "gui/analysis/export_dlg.h"
#include "gui/analysis/export_settings.h"
#include "gui/base/name_text.h"
#include "gui/base/prompter.h"
#include "gui/base/wait_cursor.h"
#include "qdb/status.h"

bool runExport(QWidget* parent, CSettingsStore& settings, const QString& portfolioDir,
               const QString& symbol, int fileNumber, bool seriesHasTimes, QString* note) {
  CExportDlg dialog(parent);
  dialog.setOptions(loadExportOptions(settings));
  dialog.timeBox()->setEnabled(seriesHasTimes);
  Prompter& prompter = Prompter::instance();
  core::ExportOptions options;
  // "No" to replacing a file goes back to the dialog, the user's choices as they were.
  for (;;) {
    if (prompter.exec(dialog) != QDialog::Accepted) return false;
    options = dialog.options();
    if (!core::export_target_exists(options.path)) break;
    const QString question = QString::fromStdString(options.path) +
                             QStringLiteral("\nThis file already exists\n\nReplace existing file?");
    if (prompter.message(parent, question, Prompter::Icon::None, Prompter::Buttons::YesNo) ==
        Prompter::Answer::Yes)
      break;
  }
  saveExportOptions(settings, options);

  core::ExportResult result;
  {
    const CWaitCursor wait;
    result = core::export_quotes_to_file(portfolioDir.toStdString(), masterBytes(symbol), options,
                                         fileNumber);
  }
  if (result.status != qdb::kSuccess || !result.written) {
    prompter.message(parent, QStringLiteral("file export error"));
    return false;
  }
  prompter.beep();
  if (note) {
    *note = QStringLiteral("Exported %1 quotes of %2 to %3")
                .arg(result.rows)
                .arg(symbol.trimmed(), QString::fromStdString(options.path));
  }
  return true;
}
