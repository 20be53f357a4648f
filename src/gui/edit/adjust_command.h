// Quotes > Adjust: the Adjust Data dialog on the series' whole range, then the scaling.
#pragma once

#include "gui/edit/quote_command.h"

// Runs the command; a success asks for a reload with the newest quote current.
QuoteCommandOutcome runAdjustCommand(const QuoteCommandContext& context);
