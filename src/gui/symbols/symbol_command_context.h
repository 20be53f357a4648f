// What the symbol commands take from the browser view, and what they ask it to do afterwards.
#pragma once

#include <string>

#include <QString>
#include <QStringList>

#include "core/command_result.h"
#include "gui/base/name_text.h"

class QWidget;

// The browser view's state that a symbol command reads. Texts as the grids show them.
struct SymbolCommandContext {
  QWidget* parent = nullptr;  // owner of the dialogs and message boxes
  QString portfolioDir;       // the current portfolio directory
  QString masterPath;         // its MASTER file
  QString rowSymbol;          // column 0 of the current symbol row
  QString rowName;            // column 1 of the current symbol row
  int rowFileNumber = 0;      // the current symbol row's entry (0: by its text alone)
  QString currentSymbol;      // the symbol whose quotes the quotes grid shows
  QString currentName;        // its issue name
  int currentFileNumber = 0;  // its entry (0: by its text alone)
  QStringList portfolios;     // the portfolio list's entries, in its order
  QString selectedPortfolio;  // the entry selected in the portfolio list
};

// What the view does once a command has run.
enum class ViewFollowUp {
  None,             // nothing changed that the view shows (or the user cancelled)
  UpdateSymbolRow,  // show newSymbol / newName in the current row and make them current
  ReloadSymbols,    // FillSymbolsGrid(0)
};

struct SymbolCommandOutcome {
  ViewFollowUp followUp = ViewFollowUp::None;
  QString newSymbol;  // UpdateSymbolRow: the texts as typed
  QString newName;
};

// A MASTER text (symbol or name) as its bytes: masterBytes (gui/base/name_text.h), in the code
// page the grids show the names in.
// A file system path as core takes it.
inline std::string pathText(const QString& path) { return path.toStdString(); }

// Shows every message of result through the prompter, in order (OK button, no icon).
void showCommandMessages(QWidget* parent, const core::CommandResult& result);
