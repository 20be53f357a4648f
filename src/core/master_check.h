// The soundness checks of a portfolio's MASTER: its size against the header count, file
// numbers used twice, and blank symbols.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

struct MasterCheckResult {
  bool readable = false;  // the file opened and its 53-byte header read
  bool sound = false;     // readable and no problem found
  std::int16_t header_count = 0;
  std::uint64_t size = 0;
  std::vector<std::string> problems;  // each problem found, in plain words
};

// Runs all three checks on the MASTER at master_path (its name resolved without regard to
// case) and describes every problem. The file is damaged exactly when the checks of the
// MASTER loading fail: size other than 53 * (count + 1) with the header's count
// signed, a file number met twice,
// or a record whose symbol's first byte is outside 0x21..0x7F.
MasterCheckResult ValidateMaster(const std::string& master_path);

// False when some file number occurs a second time (or the file cannot be read); problem,
// when given, receives a description of the first repeat. "<DIR>" entries name no data file
// and are passed over.
bool CheckFileNumbers(const std::string& master_path, std::string* problem = nullptr);
// False when some record has a blank symbol (or the file cannot be read).
bool CheckSymbols(const std::string& master_path, std::string* problem = nullptr);

}  // namespace core
