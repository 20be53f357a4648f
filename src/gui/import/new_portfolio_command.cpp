#include "gui/import/new_portfolio_command.h"

#include <QFileDialog>

#include "core/import.h"
#include "gui/base/path_text.h"
#include "gui/base/prompter.h"

QString runNewPortfolioCommand(QWidget* parent, const QString& startFolder) {
  QFileDialog dialog(parent, QStringLiteral("New Portfolio"));
  // A directory that does not exist yet is made, so the name may be typed as well as picked.
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Create"));
  if (!startFolder.isEmpty()) dialog.setDirectory(startFolder);
  Prompter& prompter = Prompter::instance();
  if (prompter.exec(dialog) != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  core::ImportError error;
  if (!core::create_new_portfolio(toPathString(chosen.first()), error)) {
    prompter.message(parent, QString::fromStdString(error.text()), Prompter::Icon::Stop);
    return {};
  }
  return chosen.first();
}
