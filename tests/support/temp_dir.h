// Temporary directories for tests, removed when the test ends.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // The path as a directory text ending in a separator.
  std::string dir() const;

 private:
  std::filesystem::path m_path;
};

// Path of a file or directory under tests/data.
std::filesystem::path test_data(const std::string& relative);
// Copies a directory tree into dest (created), returning dest.
std::filesystem::path copy_tree(const std::filesystem::path& from,
                                const std::filesystem::path& dest);
// Whole content of a file as bytes (empty when missing).
std::string read_bytes(const std::filesystem::path& file);
void write_bytes(const std::filesystem::path& file, const std::string& bytes);
// The names of the entries directly in dir, sorted.
std::vector<std::string> names_in(const std::filesystem::path& dir);
// File name -> content of every file directly in dir.
std::map<std::string, std::string> files_in(const std::filesystem::path& dir);

}  // namespace testing_support
