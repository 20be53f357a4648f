// The Symbol menu's Edit command: runs CEditSymbolDlg on the current row and rewrites the
// record's symbol and name in the MASTER (keeping MASTER.BAK).
#pragma once

#include "gui/symbols/symbol_command_context.h"

// Cancel: nothing changes. OK: core's rename; on success the view updates the current row and
// its current symbol and name to the texts typed (UpdateSymbolRow), without a reload. Core's
// messages are shown.
SymbolCommandOutcome runEditSymbol(const SymbolCommandContext& context);
