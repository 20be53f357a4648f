// Quotes > Add: fills the missing weekday before the current quote with a copy of it, then
// asks for the Edit command on the new quote.
#pragma once

#include "gui/edit/quote_command.h"

// Runs the command. A success asks for a reload with the new quote (one row below the current
// one) current, then the Edit command; a failure after OK asks for a reload with the newest
// quote current; a date already in the grid or Cancel asks for nothing.
QuoteCommandOutcome runAddQuoteCommand(const QuoteCommandContext& context);
