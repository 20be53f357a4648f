#include "gui/shell/command_rules.h"

CommandStates computeCommandStates(const CommandConditions& c) {
  const bool quotes = c.portfoliosFound && c.quoteRows > 0;
  const bool symbols = c.portfoliosFound && c.symbolRows > 0;
  const bool otherPortfolio = c.portfolioEntries >= 2 && c.symbolRows > 0;
  CommandStates s;
  s.editQuote = quotes;
  s.split = quotes;
  s.adjust = quotes;
  s.deleteQuote = quotes;
  s.addQuote = quotes && c.currentQuoteRow != c.quoteRows - 1;
  s.exportQuotes = quotes && c.symbolCount != 0;
  s.goToDate = quotes;
  s.nextSuspect = quotes && c.chartShown && c.chartSuspects > 0;
  s.saveChart = quotes && c.chartShown;
  s.dataFacts = symbols;
  s.deleteSymbol = symbols;
  s.editSymbol = symbols && !c.splitSearchOpen;
  s.moveSymbol = otherPortfolio;
  s.copySymbol = otherPortfolio;
  s.splitSearch = quotes && !c.splitSearchOpen;
  s.exportAll = symbols;
  s.newPortfolio = true;
  s.importText = c.portfolioEntries > 0;
  s.verify = symbols;
  s.verifyTree = c.portfoliosFound && c.portfolioEntries > 0;
  s.searchFilter = true;
  s.rescan = true;
  return s;
}
