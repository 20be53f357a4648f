// The Symbol menu's Move and Copy commands: CMoveSymbolDlg picks another portfolio, and the
// current symbol's record, data file and layout file go there under its lowest free file
// number.
#pragma once

#include "core/transfer_symbol.h"
#include "gui/symbols/symbol_command_context.h"

// Cancel, or OK with no portfolio chosen, changes nothing.
// Otherwise core's transfer, its messages shown (already there, portfolio full, failures).
// After a move the view reloads its symbols grid (ReloadSymbols); after a copy the current
// portfolio, its grids and selection stay as they are.
SymbolCommandOutcome runTransferSymbol(const SymbolCommandContext& context,
                                       core::TransferMode mode);
