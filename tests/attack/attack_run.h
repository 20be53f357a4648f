// Runs dorvane-cli under the failing library, and takes pictures of directory trees to compare
// what a run left with what it found.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "attack/attack_state.h"

namespace attack {

using Words = std::vector<std::string>;

struct Cue {
  unsigned long long fail_at = 0;  // the call to fail, 0 for none
  bool no_space = false;           // ENOSPC rather than EIO
  unsigned long long kill_at = 0;  // the call before which the program is killed, 0 for none
  bool log = false;                // keep the list of counted calls
  std::string out = "";            // where standard output goes (empty: a file of the run)
};

struct Outcome {
  int exit_code = -1;  // -1 when the program did not exit by itself
  bool killed = false;
  bool timed_out = false;
  std::string err;
  std::string calls_log;  // with Cue::log, one line per counted call
  AttackState state;
};

// Runs the dynamically linked dorvane-cli with args under the failing library, in scratch (a
// directory for its output, state and log). A program still running after a generous time is
// killed and reported as timed out.
Outcome run(const Words& args, const std::filesystem::path& scratch, const Cue& cue = {});

// A picture of a tree: each entry's path below the root, with "file:" and its bytes, "dir",
// "link:" and its target, "fifo" or "other". Links are never followed.
using Tree = std::map<std::string, std::string>;
Tree picture(const std::filesystem::path& root);

// The picture without the entries a killed command may leave and later ones pass over:
// temporary files of any name.
Tree without_temporaries(const Tree& tree);
bool is_temporary(const std::string& path);
// Whether a path names a backup a command keeps (F1.BAK, MASTER.bak, MASTER.repair1.bak).
bool is_backup(const std::string& path);

// The entries that differ between two pictures, for messages.
std::string difference(const Tree& a, const Tree& b);

}  // namespace attack
