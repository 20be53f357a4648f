// The enable rule of every command, computed in one place from the browsing state, so the
// menus and the toolbar always agree. Each command has one flag here and one action in the
// main frame, and the frame sets every action from its flag; a command is added here together
// with its action.
#pragma once

// The browsing state the rules read: the view's flags and counts and the rows its lists and
// grids hold.
struct CommandConditions {
  bool portfoliosFound = false;
  int portfolioEntries = 0;  // entries in the portfolio list
  int symbolRows = 0;        // rows in the symbols grid
  int quoteRows = 0;         // rows in the quotes grid
  int symbolCount = 0;       // the view's symbol count
  int currentQuoteRow = 0;
};

struct CommandStates {
  bool searchFilter = true;
  bool rescan = true;
};

// Applies the rules: Search Filter and ReScan are always enabled.
CommandStates computeCommandStates(const CommandConditions& c);
