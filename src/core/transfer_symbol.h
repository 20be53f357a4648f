// Move and copy symbol: brings a symbol's MASTER record and files into another portfolio.
#pragma once

#include <string>

#include "core/command_result.h"
#include "qdb/master.h"

namespace core {

enum class TransferOutcome {
  kAdded = 0,     // the symbol is in the destination (and, for a move, gone from the source)
  kExists = 1,    // refused: the symbol or name is already in the destination
  kFull = 2,      // refused: the destination holds 255 symbols
  kFailed = 3,    // another failure; the messages say what happened
};

struct TransferResult : CommandResult {
  TransferOutcome outcome = TransferOutcome::kFailed;
  int new_file_number = 0;  // the destination's F<n> on success
};

// Adds record (as stored in its source MASTER, in source_dir) to dest_dir's MASTER under the
// lowest free file number, after copying F<o>.DAT and F<o>.DOP there as F<n>.DAT and F<n>.DOP.
// A number is free when no destination record uses it and no F<n>.DAT or F<n>.DOP exists there.
// Refuses with the system's messages when symbol_text is already in the destination or the
// destination is full. On any later failure the destination is left as it was.
TransferResult add_symbol_to_portfolio(const qdb::MasterRecord& record,
                                       const std::string& symbol_text,
                                       const std::string& source_dir,
                                       const std::string& dest_dir);

// Copies (move false) or moves the symbol shown as symbol in portfolio_dir to dest_dir. A move
// removes the source record only after the destination holds the symbol, and the source files
// only after that; a failure part-way undoes the steps taken, or leaves the symbol in both
// portfolios, and the messages tell which. Both portfolios are locked for the whole command.
// A source file that exists but can't be deleted after a move makes the result a failure
// (ok false, outcome still kAdded: the destination holds the symbol) naming each file left.
TransferResult transfer_symbol(const std::string& portfolio_dir, const std::string& symbol,
                               const std::string& dest_dir, bool move);

// The symbol text the transfer looks up: upper case, leading and trailing blanks removed.
std::string transfer_symbol_text(const std::string& symbol);

}  // namespace core
