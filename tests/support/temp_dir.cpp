#include "support/temp_dir.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace testing_support {
namespace {

// Every test process (and each dorvane-cli it runs) puts what it deletes into a trash of its own,
// never the user's: XDG_DATA_HOME names a temporary directory removed at exit.
struct OwnDataHome {
  TempDir dir;
  OwnDataHome() {
#ifdef _WIN32
    _putenv_s("XDG_DATA_HOME", dir.path().string().c_str());
#else
    ::setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
#endif
  }
};
const OwnDataHome g_own_data_home;

}  // namespace

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device rd;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    fs::path candidate =
        base / ("dorvane-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      m_path = candidate;
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore permissions a test may have removed, so the tree can be deleted.
  for (auto it = fs::recursive_directory_iterator(
           m_path, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
  }
  fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(m_path, ec);
}

std::string TempDir::dir() const { return m_path.string() + "/"; }

fs::path test_data(const std::string& relative) {
  return fs::path(DORVANE_TEST_DATA_DIR) / relative;
}

fs::path copy_tree(const fs::path& from, const fs::path& dest) {
  fs::create_directories(dest);
  fs::copy(from, dest, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  // Copies of read-only fixtures must be writable.
  for (auto& entry : fs::recursive_directory_iterator(dest)) {
    fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write,
                    fs::perm_options::add);
  }
  fs::permissions(dest, fs::perms::owner_all, fs::perm_options::add);
  return dest;
}

std::string read_bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> names_in(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> files_in(const fs::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = read_bytes(entry.path());
  return files;
}

}  // namespace testing_support
