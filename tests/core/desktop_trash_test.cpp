#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>

#include "core/delete_symbol.h"
#include "qdb/desktop_trash.h"
#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::master_entry;
using testing_support::master_header;
using testing_support::names_in;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

// Points XDG_DATA_HOME at data_home for the test's life, then back.
class DataHome {
 public:
  explicit DataHome(const fs::path& data_home) {
    if (const char* old = std::getenv("XDG_DATA_HOME")) m_old = old;
    ::setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  }
  ~DataHome() {
    if (m_old)
      ::setenv("XDG_DATA_HOME", m_old->c_str(), 1);
    else
      ::unsetenv("XDG_DATA_HOME");
  }

 private:
  std::optional<std::string> m_old;
};

// A portfolio in a folder whose name needs escaping in a .trashinfo, and a trash of its own.
class DeleteToTrash : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(m_dir);
    write_bytes(m_dir / "MASTER", m_before);
    for (int n = 1; n <= 3; ++n) write_bytes(m_dir / ("F" + std::to_string(n) + ".DAT"), "data");
    write_bytes(m_dir / "f3.dop", "layout3");  // names match without regard to case
    write_bytes(m_dir / "F3.BAK", "backup3");
  }
  core::CommandResult run(bool to_trash) {
    const std::string dir = m_dir.string() + "/";
    return core::delete_symbol(dir, dir + "MASTER", "ABC", 0, to_trash);
  }
  std::string master() const { return read_bytes(m_dir / "MASTER"); }
  fs::path trash() const { return m_home.path() / "Trash"; }

  TempDir m_temp;
  TempDir m_home;
  DataHome m_data_home{m_home.path()};
  fs::path m_dir = m_temp.path() / "my data%";
  std::string m_before = master_header(3) + master_entry(1, "ONE", "ONE") +
                         master_entry(3, "THREE", "ABC") + master_entry(2, "TWO", "TWO");
  std::string m_after = master_header(2) + m_before.substr(53, 53) + m_before.substr(53 * 3, 53);
};

TEST_F(DeleteToTrash, TheFilesGoToTheTrashWithTheirInfoAndTheMasterAsByADelete) {
  ASSERT_TRUE(run(true).ok);
  EXPECT_EQ(master(), m_after);
  EXPECT_EQ(names_in(m_dir), (std::vector<std::string>{"F1.DAT", "F2.DAT", "MASTER"}));
  EXPECT_EQ(read_bytes(trash() / "files" / "f3.dop"), "layout3");
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.BAK"), "backup3");
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.DAT"), "data");
  const std::string real_dir = fs::canonical(m_dir).string();
  const std::string escaped = real_dir.substr(0, real_dir.size() - 8) + "my%20data%25";
  for (const char* name : {"F3.DAT", "f3.dop", "F3.BAK"}) {
    const std::string info = read_bytes(trash() / "info" / (std::string(name) + ".trashinfo"));
    EXPECT_TRUE(std::regex_match(
        info, std::regex("\\[Trash Info\\]\nPath=" + escaped + "/" + name +
                         "\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
        << info;
  }
}

TEST_F(DeleteToTrash, ANameTakenInTheTrashGetsANumberAndNothingThereIsReplaced) {
  fs::create_directories(trash() / "info");
  fs::create_directories(trash() / "files");
  write_bytes(trash() / "info" / "F3.DAT.trashinfo", "earlier");
  write_bytes(trash() / "files" / "F3.DAT", "earlier");
  write_bytes(trash() / "files" / "F3.BAK", "no info of its own");
  ASSERT_TRUE(run(true).ok);
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.DAT"), "earlier");
  EXPECT_EQ(read_bytes(trash() / "info" / "F3.DAT.trashinfo"), "earlier");
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.2.DAT"), "data");
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.BAK"), "no info of its own");
  EXPECT_EQ(read_bytes(trash() / "files" / "F3.2.BAK"), "backup3");
  EXPECT_FALSE(fs::exists(trash() / "info" / "F3.BAK.trashinfo"));
  EXPECT_NE(read_bytes(trash() / "info" / "F3.2.BAK.trashinfo").find("/F3.BAK\n"),
            std::string::npos);
  EXPECT_EQ(read_bytes(trash() / "files" / "f3.dop"), "layout3");
}

TEST_F(DeleteToTrash, ATrashOnAnotherFileSystemRefusesBeforeAnyChange) {
  const fs::path shm = "/dev/shm";
  std::error_code ec;
  if (!fs::is_directory(shm, ec)) GTEST_SKIP() << "no /dev/shm";
  const fs::path other = shm / ("dorvane-trash-test-" + std::to_string(::getpid()));
  if (!fs::create_directory(other, ec)) GTEST_SKIP() << "/dev/shm is not writable";
  DataHome data_home(other);
  if (!core::trash_refusal(m_dir.string())) {
    fs::remove_all(other, ec);
    GTEST_SKIP() << "/dev/shm is on the portfolio's file system";
  }
  const core::CommandResult result = run(true);
  EXPECT_FALSE(result.ok);
  ASSERT_FALSE(result.messages.empty());
  EXPECT_NE(result.messages[0].find("another file system"), std::string::npos);
  EXPECT_EQ(master(), m_before);
  EXPECT_EQ(names_in(m_dir).size(), 6u);
  EXPECT_FALSE(fs::exists(other / "Trash"));

  // Deleting instead (--no-trash) works as before and leaves the trash alone.
  ASSERT_TRUE(run(false).ok);
  EXPECT_EQ(master(), m_after);
  EXPECT_EQ(names_in(m_dir).size(), 3u);
  EXPECT_FALSE(fs::exists(other / "Trash"));
  fs::remove_all(other, ec);
}

TEST(PercentEncodePath, KeepsUnreservedAndSlashesAndEscapesEveryOtherByte) {
  EXPECT_EQ(qdb::percent_encode_path("/a-b_c.d~/Z9"), "/a-b_c.d~/Z9");
  EXPECT_EQ(qdb::percent_encode_path("/x y%#?\xE9"), "/x%20y%25%23%3F%E9");
}

}  // namespace
