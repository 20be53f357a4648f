// The record that the failing library (fail_nth_call.cpp) and the attack driver share through
// a mapped file: how many calls the program made, and which one failed.
#pragma once

#include <cstdint>

// What the failed call was about.
inline constexpr std::uint32_t kAttackStandardOutput = 1;  // descriptor 1
inline constexpr std::uint32_t kAttackStandardError = 8;   // descriptor 2
inline constexpr std::uint32_t kAttackDirectory = 2;       // a directory
inline constexpr std::uint32_t kAttackWrittenFile = 4;     // a regular file open for writing

struct AttackState {
  static constexpr unsigned kWhatSize = 480;
  unsigned long long calls = 0;        // calls counted so far
  unsigned long long failed_call = 0;  // the number of the call failed, 0 when none was
  std::uint32_t failed_flags = 0;      // kAttack* of the failed call
  char failed_what[kWhatSize] = {};    // the call and what it was about, for messages
};
