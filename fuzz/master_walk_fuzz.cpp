// Fuzzes the MASTER-tree lookup: the input becomes a MASTER file, split into a root MASTER
// and the MASTER of a subdirectory "SUB" at an offset given by its first two bytes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_work_dir.h"
#include "qdb/master.h"

namespace {

namespace fs = std::filesystem;

const fs::path& work_dir() {
  static const FuzzWorkDir dir("master-fuzz");
  static const bool made_sub = fs::create_directories(dir.path() / "SUB");
  (void)made_sub;
  return dir.path();
}

void write(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path& dir = work_dir();
  std::size_t split = size;
  if (size >= 2) {
    split = 2 + (static_cast<std::size_t>(data[0] | (data[1] << 8)) % (size - 1));
    if (split > size) split = size;
    write(dir / "MASTER", data + 2, split - 2);
    write(dir / "SUB" / "MASTER", data + split, size - split);
  } else {
    write(dir / "MASTER", data, size);
    write(dir / "SUB" / "MASTER", data, 0);
  }
  const std::string root = dir.string();
  for (const char* key : {"A", "SUB", "", "IBM X", "HSM__2000V"}) {
    qdb::MasterRecord record;
    std::string found;
    const qdb::StatusCode status = qdb::find_symbol(root, key, record, found);
    if (status != 0 && status != qdb::kFileNotFound && status != qdb::kFileRead) __builtin_trap();
    // Whatever the MASTER says, the lookup stays inside the portfolio.
    if (status == 0 && found != root + "/" && found != root + "/SUB/") __builtin_trap();
    // An entry addressed by its file number is the root's own, with that number.
    // 0 would mean no file number at all: the numbers tried are 1 to 255.
    const int number = size > 0 && data[size - 1] != 0 ? data[size - 1] : 1;
    const qdb::StatusCode addressed = qdb::find_symbol(root, key, record, found, number);
    if (addressed != 0 && addressed != qdb::kFileNotFound) __builtin_trap();
    if (addressed == 0 && (found != root + "/" || record.file_number() != number)) __builtin_trap();
  }
  return 0;
}
