// Move and copy symbol: brings a symbol's MASTER record and files into another portfolio.
#pragma once

#include <string>

#include "core/command_result.h"
#include "core/portfolio_index.h"
#include "qdb/master.h"

namespace core {

// Whether a transfer leaves the symbol in its portfolio (Copy) or takes it out (Move).
enum class TransferMode { Copy, Move };

enum class TransferOutcome {
  kAdded = 0,   // the symbol is in the destination (and, for a move, gone from the source)
  kExists = 1,  // refused: the symbol or name is already in the destination
  kFull = 2,    // refused: the destination has no free file number
  kFailed = 3,  // another failure; the messages say what happened
};

struct TransferResult : CommandResult {
  TransferOutcome outcome = TransferOutcome::kFailed;
  int new_file_number = 0;  // the destination's F<n> on success
};

// Adds entry (as held by its portfolio, source_dir) to dest_dir's index files under the
// lowest free file number: in the MASTER (and EMASTER) while it has fewer than 255 entries,
// else in the XMASTER (created when absent, numbers from 256), after copying the quote file
// (F<o>.DAT or F<o>.MWD) and F<o>.DOP there under the new number. A number is free when no
// entry uses it and its quote and layout files don't exist there. Refuses with the system's
// message when symbol_text is already in the destination. On any later failure the destination
// is left as it was. The refusal names the destination's entry after the system's message
// ("\nas F3 CL (Crude Oil)."), and its directory when that entry is in a sub-portfolio.
TransferResult AddSymbolToPortfolio(const EntryToAdd& entry, const std::string& symbol_text,
                                    const std::string& source_dir, const std::string& dest_dir);

// Copies or moves the symbol shown as symbol in portfolio_dir to dest_dir. A move removes the
// source entry only after the destination holds the symbol, and the source files only after
// that; a failure part-way undoes the steps taken, or leaves the symbol in both portfolios, and
// the messages tell which. Both portfolios are locked for the whole command. A source file that
// exists but can't be deleted after a move makes the result a failure (ok false, outcome still
// kAdded: the destination holds the symbol) naming each file left. A non-zero file_number
// takes the entry of portfolio_dir's own MASTER or XMASTER with that number (the one a row was
// read from, even when another shows the same symbol); 0 looks the symbol up by its text.
TransferResult transfer_symbol(const std::string& portfolio_dir, const std::string& symbol,
                               const std::string& dest_dir, TransferMode mode, int file_number = 0);

// The symbol text the transfer looks up: upper case, leading and trailing blanks removed.
std::string transfer_symbol_text(const std::string& symbol);

}  // namespace core
