// One working directory for a whole fuzzing run, on a memory file system when there is one
// (every input rewrites the files), removed when the run ends.
#pragma once

#include <filesystem>
#include <random>
#include <string>

class FuzzWorkDir {
 public:
  explicit FuzzWorkDir(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base =
        fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
    m_path = base / ("dorvane-" + name + "-" + std::to_string(std::random_device{}()));
    fs::create_directories(m_path);
  }
  ~FuzzWorkDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  FuzzWorkDir(const FuzzWorkDir&) = delete;
  FuzzWorkDir& operator=(const FuzzWorkDir&) = delete;
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};
