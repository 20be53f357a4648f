// The Symbol menu's Delete command: confirms with CDeleteSymbolDlg, then removes the current
// row's record from the MASTER and moves its F<n>.DAT, F<n>.DOP and F<n>.BAK to the desktop
// trash.
#pragma once

#include "gui/symbols/symbol_command_context.h"

// Sounds the question beep and asks; "No" (the default) or closing changes nothing. "Yes":
// core's delete, its messages shown (when the trash can't take the files, a question first
// whether to delete them instead; "No" changes nothing); the view reloads its symbols grid
// (ReloadSymbols) after a deletion.
SymbolCommandOutcome runDeleteSymbol(const SymbolCommandContext& context);
