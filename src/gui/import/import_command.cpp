#include "gui/import/import_command.h"

#include <QFileDialog>

#include "core/import.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"
#include "gui/import/import_dlg.h"
#include "gui/import/import_progress.h"

QStringList chooseImportFiles(QWidget* parent) {
  QFileDialog dialog(parent, QStringLiteral("Import"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QStringLiteral("Text Files (*.csv *.txt *.prn *.asc);;All Files (*.*)"));
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

ImportCommandOutcome runImportCommand(const ImportCommandContext& context) {
  const QStringList files =
      context.files.isEmpty() ? chooseImportFiles(context.parent) : context.files;
  if (files.isEmpty()) return {};
  CImportDlg dialog(files, context.portfolios, context.selectedPortfolio, context.parent);
  Prompter& prompter = Prompter::instance();
  if (prompter.exec(dialog) != QDialog::Accepted) return {};

  // The data the dialog read and planned; the write plans it again under the locks.
  const core::ImportOptions options = dialog.options();
  core::ImportResult result;
  bool cancelled = false;
  {
    CImportProgress progress(context.parent, QStringLiteral("Writing the portfolios..."));
    result = core::write_import(toPathString(dialog.destination()), dialog.parse().data, options,
                                progress.control());
    cancelled = progress.cancelled();
  }
  ImportCommandOutcome outcome;
  // With several portfolios (by first letter), those written before a failure or Cancel stay
  // written: the view reads them again either way.
  outcome.reload = result.ok || !result.plan.symbols.empty();
  if (!result.plan.symbols.empty()) {
    outcome.portfolioDir = fromPathString(result.plan.symbols.front().dir);
    outcome.fileNumber = result.plan.symbols.front().file_number;
  }
  if (!result.ok) {
    if (!cancelled) {
      QString text = QString::fromStdString(result.plan.error.text());
      if (!result.restore_failed.empty())
        text += QStringLiteral("\nThese files could not be put back:") +
                fromPathString(result.restore_failed);
      prompter.message(context.parent, text, Prompter::Icon::Stop);
    }
    return outcome;
  }
  std::int64_t added = 0, replaced = 0;
  for (const core::ImportSymbolPlan& symbol : result.plan.symbols) {
    added += symbol.added;
    replaced += symbol.replaced;
  }
  const qsizetype symbols = result.plan.symbols.size();
  outcome.note = QStringLiteral("Imported %1 %2: %3 days added, %4 replaced")
                     .arg(symbols)
                     .arg(symbols == 1 ? QStringLiteral("symbol") : QStringLiteral("symbols"))
                     .arg(added)
                     .arg(replaced);
  prompter.beep();
  return outcome;
}
