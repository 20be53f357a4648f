#include "core/discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

using core::PathMatchesFilter;
using core::PortfolioFilter;

TEST(PathMatchesFilter, SubstringEitherWayWithoutRegardToCase) {
  EXPECT_TRUE(PathMatchesFilter("/anything/at/all", PortfolioFilter(false, "/data/ms")));
  const PortfolioFilter filter(true, "/data/ms");
  EXPECT_EQ(filter.path_upper, "/DATA/MS");
  // On the way down, the directory itself, below it, containing it, a mere substring of it.
  for (const char* path : {"/data", "/Data/MS", "/DATA/MS/STOCKS", "/data/msx", "/d"})
    EXPECT_TRUE(PathMatchesFilter(path, filter)) << path;
  EXPECT_FALSE(PathMatchesFilter("/other", filter));
  EXPECT_FALSE(PathMatchesFilter("/data/other", filter));
}

class DiscoveryWalk : public ::testing::Test {
 protected:
  void make_dir(const std::string& relative) { fs::create_directories(m_root.path() / relative); }
  void make_file(const std::string& relative) {
    fs::create_directories((m_root.path() / relative).parent_path());
    std::ofstream(m_root.path() / relative) << "x";
  }
  std::string root() const { return m_root.path().string(); }
  std::string at(const std::string& relative) const { return (m_root.path() / relative).string(); }
  std::vector<std::string> sorted_walk(const PortfolioFilter& filter = {}) {
    auto found = core::find_portfolios(root(), filter);
    std::sort(found.begin(), found.end());
    return found;
  }

  testing_support::TempDir m_root;
};

class Recorder : public core::DiscoveryObserver {
 public:
  void directory_visited(const std::string& directory) override { visited.push_back(directory); }
  void portfolio_found(const std::string& directory, int count) override {
    found.push_back(directory);
    counts.push_back(count);
  }
  std::vector<std::string> visited, found;
  std::vector<int> counts;
};

TEST_F(DiscoveryWalk, FindsMasterInAnyCaseAndWalksParentBeforeChildrenInReverseOrder) {
  make_file("MASTER");
  make_file("a/master");
  make_file("a/b/Master");
  make_file("z/MASTER");
  make_dir("empty");
  Recorder recorder;
  std::vector<std::string> found;
  core::ScanDirectory(root(), found, PortfolioFilter(), &recorder);
  EXPECT_EQ(found, recorder.found);
  EXPECT_EQ(recorder.counts, (std::vector<int>{1, 2, 3, 4}));
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::string>{root(), at("a"), at("a/b"), at("z")}));

  // Each directory once; a parent before its children; siblings in reverse listing order.
  std::vector<std::string> expected = {root()};
  for (const auto& entry : fs::directory_iterator(m_root.path()))
    if (entry.is_directory()) expected.push_back(entry.path().string());
  std::reverse(expected.begin() + 1, expected.end());
  expected.insert(std::find(expected.begin(), expected.end(), at("a")) + 1, at("a/b"));
  EXPECT_EQ(recorder.visited, expected);
}

TEST_F(DiscoveryWalk, DirectoryNamedMasterAndDotNamesDoNotCount) {
  make_dir("p/MASTER");
  make_file(".hidden/MASTER");
  make_file("q/.inner/MASTER");
  make_file("q/sub/MASTER");
  EXPECT_EQ(sorted_walk(), (std::vector<std::string>{at("q/sub")}));
}

TEST_F(DiscoveryWalk, SymbolicLinksToDirectoriesAreNeverFollowed) {
  make_file("real/MASTER");
  fs::create_directory_symlink(m_root.path(), m_root.path() / "real" / "loop");
  fs::create_directory_symlink(m_root.path() / "real", m_root.path() / "alias");
  // A link named MASTER leading to a file counts; one leading to a directory does not.
  make_file("data/file.bin");
  make_dir("linked");
  fs::create_symlink(m_root.path() / "data" / "file.bin", m_root.path() / "linked" / "MASTER");
  make_dir("dirlink");
  fs::create_directory_symlink(m_root.path() / "data", m_root.path() / "dirlink" / "master");
  EXPECT_EQ(sorted_walk(), (std::vector<std::string>{at("linked"), at("real")}));
}

TEST_F(DiscoveryWalk, UnreadableDirectoryIsSkippedSilently) {
  make_file("open/MASTER");
  make_file("closed/MASTER");
  make_file("closed/inner/MASTER");
  fs::permissions(m_root.path() / "closed", fs::perms::none);
  std::error_code ec;
  if (fs::directory_iterator(m_root.path() / "closed", ec); !ec) {
    fs::permissions(m_root.path() / "closed", fs::perms::owner_all);
    GTEST_SKIP() << "running with privileges that read any directory";
  }
  EXPECT_EQ(sorted_walk(), (std::vector<std::string>{at("open")}));
  fs::permissions(m_root.path() / "closed", fs::perms::owner_all);
}

TEST_F(DiscoveryWalk, FilterNarrowsTheWalkButNeverTheRoot) {
  make_file("MASTER");
  make_file("data/MASTER");
  make_file("data/ms/stocks/MASTER");
  make_file("data/msx/MASTER");
  make_file("other/MASTER");
  make_file("data/other/MASTER");
  const PortfolioFilter filter(true, at("data/ms"));
  EXPECT_EQ(sorted_walk(filter),
            (std::vector<std::string>{root(), at("data"), at("data/ms/stocks"), at("data/msx")}));
}

TEST(DiscoveryRoot, SeparatorsAreNotDoubled) {
  EXPECT_EQ(core::normalize_walk_root("/"), "/");
  EXPECT_EQ(core::normalize_walk_root("/data//"), "/data");
  testing_support::TempDir dir;
  fs::create_directories(dir.path() / "x");
  std::ofstream(dir.path() / "x" / "MASTER") << "x";
  const auto found = core::find_portfolios(dir.dir() + "/", PortfolioFilter());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], (dir.path() / "x").string());
}

#ifdef __linux__
TEST(DiscoveryRoot, VirtualFileSystemsAreNotEntered) {
  Recorder recorder;
  std::vector<std::string> found;
  core::ScanDirectory("/proc", found, PortfolioFilter(), &recorder);
  EXPECT_EQ(recorder.visited, (std::vector<std::string>{"/proc"}));
  recorder.visited.clear();
  // From the root, the walk steps onto /proc and /sys but never lists them.
  core::ScanDirectory("/", found, PortfolioFilter(true, "/proc/self"), &recorder);
  for (const auto& v : recorder.visited) EXPECT_EQ(v.rfind("/proc/", 0), std::string::npos) << v;
}
#endif

}  // namespace
