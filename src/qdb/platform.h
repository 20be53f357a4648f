// The few operations that need the host platform's own calls. Everything platform-specific in
// the library lives behind these functions (platform_posix.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace qdb {

// Forces the content of an open file to the disk (its stdio buffer must be flushed already).
bool platform_sync_file(std::FILE* file);
// Forces a directory's entries (a rename inside it) to the disk. Hosts that have no such
// operation answer true.
bool platform_sync_directory(const std::string& dir);
// Positions a file at a byte offset that may exceed the range of long.
bool platform_seek(std::FILE* file, std::uint64_t offset);
// Size of an open file; nullopt when it cannot be told.
std::optional<std::uint64_t> platform_file_size(std::FILE* file);

}  // namespace qdb
