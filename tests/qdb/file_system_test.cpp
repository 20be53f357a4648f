#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "qdb/file_system.h"
#include "qdb/portfolio_files.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::FailingFileSystem;
using testing_support::InstalledFileSystem;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

bool write_text(qdb::WriteFile& out, const std::string& text) {
  return out.write(text.data(), text.size());
}

std::vector<std::string> names_in(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(DirListing, ResolvesNamesWithoutRegardToCaseAndReusesExactNames) {
  TempDir tmp;
  write_bytes(tmp.path() / "master", "m");
  write_bytes(tmp.path() / "f1.dat", "d");
  fs::create_directory(tmp.path() / "Sub");

  qdb::DirListing listing(tmp.dir());
  EXPECT_EQ(listing.resolve("MASTER"), tmp.dir() + "master");
  EXPECT_EQ(listing.resolve("F1.DAT"), tmp.dir() + "f1.dat");
  EXPECT_EQ(listing.resolve("F1.NEW"), tmp.dir() + "F1.NEW");
  EXPECT_TRUE(listing.contains("SUB"));
  EXPECT_FALSE(listing.contains("F1.NEW"));
  listing.add("F1.new");
  EXPECT_EQ(listing.resolve("F1.NEW"), tmp.dir() + "F1.new");
}

TEST(DirListing, PrefersTheExactNameWhenTwoEntriesDifferOnlyInCase) {
  TempDir tmp;
  write_bytes(tmp.path() / "MASTER", "upper");
  write_bytes(tmp.path() / "master", "lower");
  qdb::DirListing listing(tmp.dir());
  EXPECT_EQ(listing.resolve("master"), tmp.dir() + "master");
  EXPECT_EQ(listing.resolve("MASTER"), tmp.dir() + "MASTER");
}

TEST(PortfolioNames, DataFileNamesAndPathSplitting) {
  EXPECT_EQ(qdb::data_file_name(7, "DAT"), "F7.DAT");
  EXPECT_EQ(qdb::data_file_name(255, ".DOP"), "F255.DOP");
  auto [dir, name] = qdb::split_path(std::string("a") + qdb::kSeparator + "b" + qdb::kSeparator + "MASTER");
  EXPECT_EQ(dir, std::string("a") + qdb::kSeparator + "b" + qdb::kSeparator);
  EXPECT_EQ(name, "MASTER");
  auto [dir2, name2] = qdb::split_path("MASTER");
  EXPECT_EQ(dir2, "");
  EXPECT_EQ(name2, "MASTER");

  TempDir tmp;
  write_bytes(tmp.path() / "Master", "m");
  EXPECT_EQ(qdb::resolve_path(tmp.dir() + "MASTER"), tmp.dir() + "Master");
}

TEST(NativeFileSystem, ListsEntriesWithTheirKinds) {
  TempDir tmp;
  write_bytes(tmp.path() / "file", "abc");
  fs::create_directory(tmp.path() / "dir");
  fs::create_directory_symlink(tmp.path() / "dir", tmp.path() / "link");
  auto entries = qdb::file_system().list(tmp.dir());
  ASSERT_TRUE(entries.has_value());
  ASSERT_EQ(entries->size(), 3u);
  for (const auto& entry : *entries) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(entry.is_directory, entry.name == "dir");
    EXPECT_EQ(entry.is_symlink, entry.name == "link");
  }
  EXPECT_FALSE(qdb::file_system().list(tmp.dir() + "missing").has_value());
  EXPECT_EQ(qdb::file_system().file_size(tmp.dir() + "file"), 3u);
  EXPECT_EQ(qdb::file_system().open_read(tmp.dir() + "dir"), nullptr);
}

TEST(ReplaceFile, ReplacesTheTargetInOneStep) {
  TempDir tmp;
  write_bytes(tmp.path() / "target", "old content");
  ASSERT_TRUE(qdb::replace_file(tmp.dir() + "target", tmp.dir() + "target.NEW",
                                [](qdb::WriteFile& out) { return write_text(out, "new"); }));
  EXPECT_EQ(read_bytes(tmp.path() / "target"), "new");
  EXPECT_EQ(names_in(tmp.path()), std::vector<std::string>{"target"});
}

TEST(ReplaceFile, EveryFailingStepLeavesTheTargetAndNoTemporaryFile) {
  struct Case {
    const char* what;
    void (*arm)(FailingFileSystem&);
  };
  const Case cases[] = {
      {"create", [](FailingFileSystem& f) { f.fail_create(); }},
      {"first write", [](FailingFileSystem& f) { f.fail_write(1); }},
      {"second write, partly written", [](FailingFileSystem& f) { f.fail_write(2, "", 2); }},
      {"sync", [](FailingFileSystem& f) { f.fail_sync(); }},
      {"close", [](FailingFileSystem& f) { f.fail_close(); }},
      {"rename", [](FailingFileSystem& f) { f.fail_rename(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    write_bytes(tmp.path() / "target", "old content");
    FailingFileSystem files;
    c.arm(files);
    InstalledFileSystem installed(files);
    EXPECT_FALSE(qdb::replace_file(tmp.dir() + "target", tmp.dir() + "target.NEW",
                                   [](qdb::WriteFile& out) {
                                     return write_text(out, "one") && write_text(out, "two");
                                   }));
    EXPECT_EQ(files.failures(), 1);
    EXPECT_EQ(read_bytes(tmp.path() / "target"), "old content");
    EXPECT_EQ(names_in(tmp.path()), std::vector<std::string>{"target"});
  }
}

TEST(ReplaceFile, AnUncheckedFailedWriteStillAbortsTheReplacement) {
  TempDir tmp;
  write_bytes(tmp.path() / "target", "old");
  FailingFileSystem files;
  files.fail_write(1);
  InstalledFileSystem installed(files);
  EXPECT_FALSE(qdb::replace_file(tmp.dir() + "target", tmp.dir() + "t.NEW", [](qdb::WriteFile& out) {
    out.write("x", 1);  // result ignored on purpose
    return true;
  }));
  EXPECT_EQ(read_bytes(tmp.path() / "target"), "old");
}

TEST(ReplaceFile, AWriterThatGivesUpLeavesNothingBehind) {
  TempDir tmp;
  EXPECT_FALSE(qdb::replace_file(tmp.dir() + "target", tmp.dir() + "t.NEW",
                                 [](qdb::WriteFile& out) { return write_text(out, "x") && false; }));
  EXPECT_TRUE(names_in(tmp.path()).empty());
}

TEST(CopyFile, CopiesWholeFilesAndFailsSafely) {
  TempDir tmp;
  std::string content(200000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  write_bytes(tmp.path() / "from", content);
  write_bytes(tmp.path() / "to", "older backup");
  ASSERT_TRUE(qdb::copy_file(tmp.dir() + "from", tmp.dir() + "to"));
  EXPECT_EQ(read_bytes(tmp.path() / "to"), content);

  write_bytes(tmp.path() / "to", "older backup");
  FailingFileSystem files;
  files.fail_write(2);
  {
    InstalledFileSystem installed(files);
    EXPECT_FALSE(qdb::copy_file(tmp.dir() + "from", tmp.dir() + "to"));
  }
  EXPECT_EQ(read_bytes(tmp.path() / "to"), "older backup");
  EXPECT_EQ(names_in(tmp.path()), (std::vector<std::string>{"from", "to"}));
  EXPECT_FALSE(qdb::copy_file(tmp.dir() + "missing", tmp.dir() + "to"));
}

TEST(FailingFileSystem, CountsOperationsAndLimitsRulesToMatchingPaths) {
  TempDir tmp;
  FailingFileSystem files;
  files.fail_create(FailingFileSystem::kEvery, ".NEW");
  InstalledFileSystem installed(files);
  EXPECT_EQ(qdb::file_system().create(tmp.dir() + "a.NEW"), nullptr);
  EXPECT_EQ(qdb::file_system().create(tmp.dir() + "b.NEW"), nullptr);
  auto ok = qdb::file_system().create(tmp.dir() + "c.BAK");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->write("abc", 3));
  EXPECT_TRUE(ok->close());
  EXPECT_EQ(files.creates(), 3);
  EXPECT_EQ(files.writes(), 1);
  EXPECT_EQ(files.failures(), 2);
  EXPECT_EQ(files.created_paths(), std::vector<std::string>{tmp.dir() + "c.BAK"});
}

TEST(InstalledFileSystem, RestoresThePreviousFileSystem) {
  qdb::FileSystem* before = &qdb::file_system();
  {
    FailingFileSystem files;
    InstalledFileSystem installed(files);
    EXPECT_EQ(&qdb::file_system(), &files);
  }
  EXPECT_EQ(&qdb::file_system(), before);
}
