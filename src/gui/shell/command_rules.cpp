#include "gui/shell/command_rules.h"

CommandStates computeCommandStates(const CommandConditions&) {
  CommandStates s;
  s.searchFilter = true;
  s.rescan = true;
  return s;
}
