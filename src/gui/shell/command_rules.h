// The enable rule of every command, computed in one place from the browsing state, so the
// menus and the toolbar always agree and each later command only reads its own flag.
#pragma once

struct CommandConditions {
  bool portfolios_found = false;
  int portfolio_entries = 0;  // entries in the portfolio list
  int symbol_rows = 0;        // rows in the symbols grid
  int quote_rows = 0;         // rows in the quotes grid
  int symbol_count = 0;       // the view's symbol count
  int current_quote_row = 0;
  bool split_search_open = false;
};

struct CommandStates {
  bool quote_edit = false;
  bool quote_split = false;
  bool quote_adjust = false;
  bool quote_delete = false;
  bool quote_add = false;
  bool quote_export = false;
  bool symbol_facts = false;
  bool symbol_delete = false;
  bool symbol_edit = false;
  bool symbol_move = false;
  bool symbol_copy = false;
  bool split_search = false;
  bool search_filter = true;
  bool rescan = true;
};

// Applies the rules: quote commands need portfolios and quote rows (Add also a current row
// that is not the oldest quote), symbol commands need symbol rows, Move and Copy a second
// portfolio, and Split Search / Symbol Edit are off while the split search window is open.
CommandStates compute_command_states(const CommandConditions& c);
