// The enable rule of every command, computed in one place from the browsing state, so the
// menus and the toolbar always agree. Each command has one flag here and one action in the
// main frame, and the frame sets every action from its flag; a command is added here together
// with its action.
#pragma once

// The browsing state the rules read: the view's flags and counts and the rows its lists and
// grids hold.
struct CommandConditions {
  bool portfoliosFound = false;
  bool splitSearchOpen = false;  // the Split Search window exists
  int portfolioEntries = 0;      // entries in the portfolio list
  int symbolRows = 0;            // rows in the symbols grid
  int quoteRows = 0;             // rows in the quotes grid
  int symbolCount = 0;           // the view's symbol count
  int currentQuoteRow = 0;
  bool chartShown = false;  // View > Chart is on
  int chartSuspects = 0;    // suspect days of the series the chart holds
};

struct CommandStates {
  // Quotes menu.
  bool editQuote = false;
  bool split = false;
  bool adjust = false;
  bool addQuote = false;
  bool deleteQuote = false;
  bool exportQuotes = false;
  bool goToDate = false;
  // The chart's commands.
  bool nextSuspect = false;
  bool saveChart = false;
  // Symbol menu.
  bool deleteSymbol = false;
  bool moveSymbol = false;
  bool copySymbol = false;
  bool editSymbol = false;
  bool dataFacts = false;
  // File menu.
  bool newPortfolio = true;
  bool importText = false;
  // Portfolio menu.
  bool splitSearch = false;
  bool exportAll = false;
  bool verify = false;
  bool verifyTree = false;
  bool searchFilter = true;
  bool rescan = true;
};

// Applies the rules. The quote commands (and Go to Date) need quotes listed; Add also a current row
// that is not the oldest quote (there is no following day to copy before it); Export also a symbol
// count. Next Suspect needs the chart shown with quotes and a suspect day, Save Chart As the
// chart shown with quotes. The symbol commands need symbols listed; Move and Copy a second
// portfolio to go to (and no found flag, as they work between listed portfolios); Edit Symbol
// and Split Search wait while the Split Search window is open. Export All needs symbols listed.
// Verify needs symbols listed, Verify Tree a portfolio listed. Search Filter, ReScan and New
// Portfolio are always enabled; Import needs a portfolio listed to go to.
CommandStates computeCommandStates(const CommandConditions& c);
