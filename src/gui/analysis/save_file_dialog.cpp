#include "gui/analysis/save_file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "gui/base/prompter.h"

QString textFileFilter() { return QStringLiteral("Text Files (*.txt);;All Files (*.*)"); }

QString pngFileFilter() { return QStringLiteral("PNG Images (*.png);;All Files (*.*)"); }

QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(request.nameFilter.isEmpty() ? textFileFilter() : request.nameFilter);
  dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  const QFileInfo proposed(request.proposedPath);
  // A bare name starts in the current directory, a path in its own directory.
  dialog.setDirectory(proposed.absolutePath());
  dialog.selectFile(proposed.fileName());
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

QString chooseFolder(QWidget* parent, const QString& proposedFolder) {
  QFileDialog dialog(parent);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (!proposedFolder.isEmpty()) dialog.setDirectory(proposedFolder);
  if (Prompter::instance().exec(dialog) != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}
