// The save-file dialog of Split Search's "Save As..." and Export's "Browse...", run through the
// prompter like every other modal dialog so that tests can answer it.
#pragma once

#include <QString>

class QWidget;

struct SaveFileRequest {
  QString proposedPath;   // file name, or a path whose directory the dialog starts in
  QString defaultSuffix;  // "txt"
  bool confirmOverwrite;  // ask before choosing an existing file
};

// "Text Files (*.txt)" and "All Files (*.*)".
QString textFileFilter();

// Runs the dialog; the chosen full path, or empty when the user cancelled.
QString chooseSaveFile(QWidget* parent, const SaveFileRequest& request);
