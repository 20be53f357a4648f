// Quotes > Split: the Split Data dialog on the current quote's date, then the split.
#pragma once

#include "gui/edit/quote_command.h"

// Runs the command; a success asks for a reload with the newest quote current.
QuoteCommandOutcome runSplitCommand(const QuoteCommandContext& context);
