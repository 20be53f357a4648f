// The save-file dialog of Split Search's "Save As...", Export's "Browse..." and Save Chart As,
// and the folder dialog of Export All,
// run through the prompter like every other modal dialog so that tests can answer it.
#pragma once

#include <QString>

class QWidget;

struct SaveFileRequest {
  QString proposedPath;     // file name, or a path whose directory the dialog starts in
  QString defaultSuffix;    // "txt"
  bool confirmOverwrite;    // ask before choosing an existing file
  QString nameFilter = {};  // the dialog's filters; empty for textFileFilter()
};

// "Text Files (*.txt)" and "All Files (*.*)".
QString textFileFilter();
// "PNG Images (*.png)" and "All Files (*.*)".
QString pngFileFilter();

// Runs the dialog; the chosen full path, or empty when the user cancelled.
QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request);

// The folder dialog (Export All's "Browse..."), starting in proposedFolder when it exists;
// the chosen folder, or empty when the user cancelled.
QString chooseFolder(QWidget* parent, const QString& proposedFolder);
