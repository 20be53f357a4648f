// The Portfolio menu's Export All command: the Export dialog's choices for every symbol of the
// portfolio, written as one file per symbol into a folder (or one file behind a SYMBOL column),
// with a progress window whose Cancel stops the export before anything is renamed into place.
#pragma once

#include <QString>

class CSettingsStore;
class QWidget;

// Cancel in the dialog: nothing saved, nothing written. When planned files exist already, the
// user is asked whether to replace them; "No" goes back to the dialog with the choices kept.
// Then the choices are saved, the folder is created when missing and the batch runs. Symbols
// whose quotes can't be read are named in a message after the others are written; a failure
// says "file export error" with its cause and leaves the folder as it was. Returns the text for
// the status bar ("Exported 12 symbols to /home/me/out"), empty when nothing was written.
QString runExportAll(QWidget* parent, CSettingsStore& settings, const QString& portfolioDir);
