// Quotes > Delete: the Delete Data dialog on the current quote's date, a confirmation, then
// the deletion.
#pragma once

#include "gui/edit/quote_command.h"

// Runs the command; a success asks for a reload with the newest quote current.
QuoteCommandOutcome runDeleteQuoteCommand(const QuoteCommandContext& context);
