#include "attack/known_failures.h"

namespace attack {
namespace {

struct Known {
  const char* test;     // "*" for any
  const char* command;  // "*" for any
  const char* detail;   // a text the detail holds ("" for any)
  const char* reason;
};

// Every entry names a hole that is being mended; the list empties as the mends land.
constexpr Known kKnown[] = {
    // Standard output that can't be written is reported as success; only quotes and export
    // check theirs.
    {"output", "symbols", "", "a lost standard output is not checked"},
    {"output", "facts", "", "a lost standard output is not checked"},
    {"output", "check", "", "a lost standard output is not checked"},
    {"output", "portfolios", "", "a lost standard output is not checked"},
    {"output", "split-search", "", "a lost standard output is not checked"},
    {"output", "add-quote", "", "a lost standard output is not checked"},
    {"output", "copy-symbol", "", "a lost standard output is not checked"},
    {"output", "move-symbol", "", "a lost standard output is not checked"},
    {"output", "import", "", "a lost standard output is not checked"},
    {"output", "repair", "", "a lost standard output is not checked"},
    // A delete, move or copy of a symbol changes the index files and the data files in
    // separate steps; killed between them, the data files stay behind where no index lists
    // them, and no later command removes them.
    {"kill", "delete-symbol", "orphaned data files", "a kill between steps leaves data files"},
    {"kill", "move-symbol", "orphaned data files", "a kill between steps leaves data files"},
    {"kill", "copy-symbol", "orphaned data files", "a kill between steps leaves data files"},
    // A move commits the destination, then the source: killed between the two, the symbol
    // is in both portfolios.
    {"kill", "move-symbol", "P before, Q after", "a kill between the portfolios' commits"},
};

bool fits(const char* pattern, const std::string& text, bool whole) {
  const std::string p(pattern);
  if (p == "*" || (!whole && p.empty())) return true;
  return whole ? text == p : text.find(p) != std::string::npos;
}

}  // namespace

std::string known_failure(const std::string& test, const std::string& command,
                          const std::string& detail) {
  for (const Known& k : kKnown) {
    if (k.reason[0] == '\0') continue;
    if (fits(k.test, test, true) && fits(k.command, command, true) && fits(k.detail, detail, false))
      return k.reason;
  }
  return {};
}

}  // namespace attack
