// The Symbol menu's Delete command: confirms with CDeleteSymbolDlg, then removes the current
// row's record from the MASTER with its F<n>.DAT, F<n>.DOP and F<n>.BAK.
#pragma once

#include "gui/symbols/symbol_command_context.h"

// Sounds the question beep and asks; "No" (the default) or closing changes nothing. "Yes":
// core's delete, its messages shown; the view reloads its symbols grid (ReloadSymbols) after a
// deletion.
SymbolCommandOutcome runDeleteSymbol(const SymbolCommandContext& context);
