#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "qdb/file_system.h"
#include "qdb/master_file.h"
#include "qdb/portfolio_files.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::FailingFileSystem;
using testing_support::InstalledFileSystem;
using testing_support::names_in;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

bool write_text(qdb::WriteFile& out, const std::string& text) {
  return out.write(text.data(), text.size());
}

}  // namespace

TEST(DirListing, ResolvesNamesWithoutRegardToCaseAndReusesExactNames) {
  TempDir tmp;
  write_bytes(tmp.path() / "master", "m");
  write_bytes(tmp.path() / "f1.dat", "d");
  write_bytes(tmp.path() / "F2.DAT", "upper");
  write_bytes(tmp.path() / "f2.dat", "lower");
  fs::create_directory(tmp.path() / "Sub");

  qdb::DirListing listing(tmp.dir());
  EXPECT_EQ(listing.resolve("MASTER"), tmp.dir() + "master");
  EXPECT_EQ(listing.resolve("F1.DAT"), tmp.dir() + "f1.dat");
  EXPECT_EQ(listing.resolve("F1.NEW"), tmp.dir() + "F1.NEW");
  // Two entries differing only in case: the exact name wins.
  EXPECT_EQ(listing.resolve("f2.dat"), tmp.dir() + "f2.dat");
  EXPECT_EQ(listing.resolve("F2.DAT"), tmp.dir() + "F2.DAT");
  EXPECT_TRUE(listing.contains("SUB"));
  EXPECT_FALSE(listing.contains("F1.NEW"));
  listing.add("F1.new");
  EXPECT_EQ(listing.resolve("F1.NEW"), tmp.dir() + "F1.new");
  EXPECT_EQ(qdb::resolve_path(tmp.dir() + "MASTER"), tmp.dir() + "master");
  EXPECT_TRUE(listing.ok());
  // A name added after the listing (a file the operation created) is found whatever the case.
  listing.add("F3.dat");
  EXPECT_EQ(listing.resolve("f3.DAT"), tmp.dir() + "F3.dat");
  EXPECT_TRUE(listing.contains("F3.DAT"));
  // A directory that does not list says so; nothing in it resolves to an entry.
  const qdb::DirListing missing(tmp.dir() + "none" + qdb::kSeparator);
  EXPECT_FALSE(missing.ok());
  EXPECT_FALSE(missing.contains("MASTER"));
  EXPECT_EQ(missing.resolve("MASTER"), tmp.dir() + "none" + qdb::kSeparator + "MASTER");
}

// Thousands of names (a vendor's directory): every one resolves from any case, and of names
// that fold alike the exact one wins, else the first listed.
TEST(DirListing, ResolvesEveryNameOfALargeDirectory) {
  TempDir tmp;
  for (int n = 1; n <= 3000; ++n) write_bytes(tmp.path() / ("f" + std::to_string(n) + ".mwd"), "");
  write_bytes(tmp.path() / "Xmaster", "");
  write_bytes(tmp.path() / "XMASTER", "");
  const qdb::DirListing listing(tmp.dir());
  for (int n = 1; n <= 3000; ++n) {
    const std::string name = "F" + std::to_string(n) + ".MWD";
    ASSERT_TRUE(listing.contains(name)) << name;
    ASSERT_EQ(listing.resolve(name), tmp.dir() + "f" + std::to_string(n) + ".mwd");
  }
  EXPECT_FALSE(listing.contains("F3001.MWD"));
  EXPECT_EQ(listing.resolve("XMASTER"), tmp.dir() + "XMASTER");
  EXPECT_EQ(listing.resolve("Xmaster"), tmp.dir() + "Xmaster");
  std::string first_listed;
  for (const auto& entry : fs::directory_iterator(tmp.path())) {
    const std::string name = entry.path().filename().string();
    if (name == "XMASTER" || name == "Xmaster") {
      first_listed = name;
      break;
    }
  }
  EXPECT_EQ(listing.resolve("xmaster"), tmp.dir() + first_listed);
}

// The native reader keeps a buffer of its own: reads forwards, backwards in windows (newest
// first), small reads far away, seeks inside and outside what was read, reads across the end
// and large reads all give the file's bytes.
TEST(NativeFileSystem, ReadsTheFileBytesWhateverTheOrderOfSeeksAndReads) {
  TempDir tmp;
  std::string bytes(300000, '\0');
  std::uint32_t state = 7;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  write_bytes(tmp.path() / "data", bytes);
  const auto file = qdb::native_file_system().open_read(tmp.dir() + "data");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->size(), bytes.size());
  struct Step {
    std::int64_t seek;  // -1: read on from where the last read ended
    std::size_t count;
  };
  std::vector<Step> steps = {{-1, 4},     {299972, 4},   {28, 11200},  {-1, 11200},
                             {-1, 70000}, {0, 10},       {299990, 50}, {299990, 5},
                             {150000, 3}, {120000, 400}, {-1, 200000}, {400000, 10}};
  // Newest first in windows of 400 records of 28 bytes, as the quotes are read.
  for (std::int64_t at = 300000 - 11200; at >= 0; at -= 11200) steps.push_back({at, 11200});
  std::uint64_t position = 0;
  for (const Step& step : steps) {
    if (step.seek >= 0) {
      ASSERT_TRUE(file->seek(static_cast<std::uint64_t>(step.seek)));
      position = static_cast<std::uint64_t>(step.seek);
    }
    std::string got(step.count, '\0');
    const std::size_t n = file->read(got.data(), got.size());
    const std::size_t expected =
        position >= bytes.size() ? 0 : std::min<std::size_t>(step.count, bytes.size() - position);
    ASSERT_EQ(n, expected) << step.seek << " " << step.count;
    ASSERT_EQ(got.substr(0, n), bytes.substr(std::min<std::size_t>(position, bytes.size()), n))
        << step.seek << " " << step.count;
    position += n;
  }
}

TEST(MasterFile, FoundWhateverItsCaseWithOrWithoutTheSeparator) {
  TempDir tmp;
  fs::create_directory(tmp.path() / "lower");
  write_bytes(tmp.path() / "lower" / "master", "m");
  fs::create_directory(tmp.path() / "none");
  const std::string lower = (tmp.path() / "lower").string();
  const std::string none = (tmp.path() / "none").string();
  EXPECT_EQ(qdb::master_path_in(lower), lower + qdb::kSeparator + "master");
  EXPECT_EQ(qdb::master_path_in(lower + qdb::kSeparator), lower + qdb::kSeparator + "master");
  EXPECT_EQ(qdb::master_path_in(none), none + qdb::kSeparator + "MASTER");
  EXPECT_TRUE(qdb::has_master(qdb::DirListing(lower + qdb::kSeparator)));
  EXPECT_FALSE(qdb::has_master(qdb::DirListing(none + qdb::kSeparator)));
  for (const char* name : {"MASTER", "master", "Master"}) EXPECT_TRUE(qdb::is_master_name(name));
  for (const char* name : {"EMASTER", "MASTER.BAK", "MASTE", ""})
    EXPECT_FALSE(qdb::is_master_name(name));
}

TEST(PortfolioNames, DataFileNamesAndPathSplitting) {
  EXPECT_EQ(qdb::data_file_name(255, ".DOP"), "F255.DOP");
  auto [dir, name] =
      qdb::split_path(std::string("a") + qdb::kSeparator + "b" + qdb::kSeparator + "MASTER");
  EXPECT_EQ(dir, std::string("a") + qdb::kSeparator + "b" + qdb::kSeparator);
  EXPECT_EQ(name, "MASTER");
  auto [dir2, name2] = qdb::split_path("MASTER");
  EXPECT_EQ(dir2, "");
  EXPECT_EQ(name2, "MASTER");
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

TEST(ReplaceFile, ReplacesInOneStepOrLeavesTheTargetAndNoTemporaryFile) {
  using Writer = bool (*)(qdb::WriteFile&);
  const Writer one_two = [](qdb::WriteFile& out) {
    return write_text(out, "one") && write_text(out, "two");
  };
  const Writer gives_up = [](qdb::WriteFile& out) { return write_text(out, "x") && false; };
  const Writer unchecked = [](qdb::WriteFile& out) {
    out.write("x", 1);  // result ignored on purpose
    return true;
  };
  struct Case {
    const char* what;
    void (*arm)(FailingFileSystem&);
    Writer writer;
    const char* old_content;  // nullptr: no target yet
  };
  const Case cases[] = {
      {"success", nullptr, one_two, "old content"},
      {"create", [](FailingFileSystem& f) { f.fail_create(); }, one_two, "old content"},
      {"first write", [](FailingFileSystem& f) { f.fail_write(1); }, one_two, "old content"},
      {"second write, partly written", [](FailingFileSystem& f) { f.fail_write(2, "", 2); },
       one_two, "old content"},
      {"sync", [](FailingFileSystem& f) { f.fail_sync(); }, one_two, "old content"},
      {"close", [](FailingFileSystem& f) { f.fail_close(); }, one_two, "old content"},
      {"rename", [](FailingFileSystem& f) { f.fail_rename(); }, one_two, "old content"},
      {"unchecked failed write", [](FailingFileSystem& f) { f.fail_write(1); }, unchecked, "old"},
      {"writer gives up", nullptr, gives_up, "old"},
      {"writer gives up, no target", nullptr, gives_up, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir tmp;
    if (c.old_content) write_bytes(tmp.path() / "target", c.old_content);
    FailingFileSystem files;
    if (c.arm) c.arm(files);
    const bool succeeds = !c.arm && c.writer == one_two;
    {
      InstalledFileSystem installed(files);
      EXPECT_EQ(qdb::replace_file(tmp.dir() + "target", tmp.dir() + "target.NEW", c.writer).ok(),
                succeeds);
    }
    EXPECT_EQ(files.failures(), c.arm ? 1 : 0);
    EXPECT_EQ(read_bytes(tmp.path() / "target"), succeeds        ? "onetwo"
                                                 : c.old_content ? c.old_content
                                                                 : "");
    EXPECT_EQ(names_in(tmp.path()),
              c.old_content ? std::vector<std::string>{"target"} : std::vector<std::string>{});
  }
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
