// The Quotes menu's Export command: CExportDlg, preloaded from and saved to "XportSel", then
// the current symbol's quotes written to the chosen file.
#pragma once

#include <QString>

class CSettingsStore;
class QWidget;

// Cancel: nothing saved. OK on an existing file asks "...Replace existing file?"; "No" goes
// back to the dialog with the choices kept, nothing written and nothing saved. Otherwise the
// choices are saved, the file written (replaced whole only once complete) and the information
// beep sounds; a file that can't be written says "file export error". True when the file was
// written, and then *note (when given) says what was written where, for the status bar. A
// non-zero fileNumber reads the entry of the portfolio's own index files with that number.
// "Add time column" is offered only for a series with times (seriesHasTimes).
bool runExport(QWidget* parent, CSettingsStore& settings, const QString& portfolioDir,
               const QString& symbol, int fileNumber = 0, bool seriesHasTimes = true,
               QString* note = nullptr);
