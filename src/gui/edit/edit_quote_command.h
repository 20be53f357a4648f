// Quotes > Edit: the Edit Selected Quote dialog on the current quote row, then the new values
// of the day it shows when OK is pressed.
#pragma once

#include "gui/edit/quote_command.h"

// Runs the command; a success asks for a reload with the newest quote current.
QuoteCommandOutcome runEditQuoteCommand(const QuoteCommandContext& context);
