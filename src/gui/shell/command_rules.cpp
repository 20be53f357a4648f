#include "gui/shell/command_rules.h"

CommandStates compute_command_states(const CommandConditions& c) {
  const bool has_quotes = c.portfolios_found && c.quote_rows > 0;
  const bool has_symbols = c.portfolios_found && c.symbol_rows > 0;
  const bool two_portfolios = c.portfolio_entries >= 2 && c.symbol_rows > 0;

  CommandStates s;
  s.quote_edit = has_quotes;
  s.quote_split = has_quotes;
  s.quote_adjust = has_quotes;
  s.quote_delete = has_quotes;
  s.quote_add = has_quotes && c.current_quote_row != c.quote_rows - 1;
  s.quote_export = has_quotes && c.symbol_count != 0;
  s.symbol_facts = has_symbols;
  s.symbol_delete = has_symbols;
  s.symbol_edit = has_symbols && !c.split_search_open;
  s.symbol_move = two_portfolios;
  s.symbol_copy = two_portfolios;
  s.split_search = has_quotes && !c.split_search_open;
  s.search_filter = true;
  s.rescan = true;
  return s;
}
