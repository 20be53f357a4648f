// The transaction over a portfolio's files: all of the change or none of it, whichever step
// fails, and never over a file another program changed after it was read.
#include "qdb/portfolio_transaction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/failing_batch_sync.h"
#include "support/failing_file_system.h"
#include "support/hooked_file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::FailingFileSystem;
using testing_support::InstalledFileSystem;
using testing_support::read_bytes;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

using Files = std::map<std::string, std::string>;

Files files_in(const fs::path& dir) {
  Files files;
  for (const auto& entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = read_bytes(entry.path());
  return files;
}

// A portfolio whose EMASTER is named in lower case, as vendors' are.
const Files kBefore = {{"MASTER", "old master"},
                       {"emaster", "old emaster"},
                       {"F1.DAT", "old quotes"},
                       {"F2.DAT", "quotes of a symbol gone"}};

const Files kAfter = {{"MASTER", "new master"},
                      {"emaster", "new emaster"},
                      {"XMASTER", "new xmaster"},
                      {"F1.DAT", "new quotes"},
                      {"F1.BAK", "old quotes"}};

// Every kind of step: the data file changed under its backup, the EMASTER and MASTER from the
// bytes held, an XMASTER created, F2.DAT removed.
qdb::Result<void> change(const std::string& dir) {
  qdb::PortfolioTransaction transaction(dir);
  // The files as the caller read them (straight from the disk: a test's hooks see only the
  // transaction's own questions).
  const auto identity = [&](const char* name) {
    return qdb::native_file_system().identity(dir + name);
  };
  qdb::Staging data;
  data.temp_name = "F1.NEW";
  data.expected = identity("F1.DAT");
  qdb::Staging emaster;
  emaster.original = kBefore.at("emaster");
  emaster.expected = identity("emaster");
  qdb::Staging xmaster;
  xmaster.like = "MASTER";
  qdb::Staging master;
  master.temp_suffix = qdb::suffix::kNewIndex;
  master.original = kBefore.at("MASTER");
  master.expected = identity("MASTER");
  const auto quotes = [](qdb::WriteFile& out) {
    return out.write("new ", 4) && out.write("quo", 3) && out.write("tes", 3);
  };
  // Staged out of their order: the commit puts the MASTER last all the same.
  qdb::Result<void> done = transaction.backup("F1.DAT", "F1.BAK");
  if (done) done = transaction.stage("MASTER", "new master", master);
  if (done) done = transaction.stage("F1.DAT", quotes, data);
  if (done) done = transaction.stage("EMASTER", "new emaster", emaster);
  if (done) done = transaction.stage("XMASTER", "new xmaster", xmaster);
  if (!done) return done;
  transaction.remove("F2.DAT", kBefore.at("F2.DAT"));
  return transaction.commit();
}

class Transaction : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [name, bytes] : kBefore) write_bytes(m_tmp.path() / name, bytes);
  }
  TempDir m_tmp;
};

TEST_F(Transaction, CommitsEveryFileUnderItsOwnNameWithTheMasterLast) {
  FailingFileSystem failing;
  testing_support::HookedFileSystem hooked(failing);
  {
    InstalledFileSystem installed(hooked);
    const qdb::Result<void> done = change(m_tmp.dir());
    ASSERT_TRUE(done) << done.error().cause;
  }
  EXPECT_EQ(files_in(m_tmp.path()), kAfter);
  EXPECT_EQ(hooked.renamed(),
            (std::vector<std::string>{"F1.BAK", "F1.DAT", "XMASTER", "emaster", "MASTER"}));
  EXPECT_EQ(hooked.directory_syncs(), 2);  // the backup's, and one for the whole commit
}

// Whichever single step fails (a create, write, sync, close, rename, removal, open or read of
// any file, or the directory's sync after the renames), the change either completes or answers
// false with a
// cause, every file holding its old bytes and no new file left but the backup; a failed sync
// after the commit's renames leaves the change in place and says it is not confirmed.
TEST_F(Transaction, AFailureAtAnyStepLeavesEveryFileAsItWas) {
  int failed_runs = 0;
  for (const char* kind :
       {"create", "write", "sync", "close", "rename", "remove", "open", "read", "directory"}) {
    for (int nth = 1; nth < 40; ++nth) {
      SCOPED_TRACE(std::string(kind) + " #" + std::to_string(nth));
      SetUp();
      fs::remove(m_tmp.path() / "F1.BAK");
      fs::remove(m_tmp.path() / "XMASTER");
      FailingFileSystem failing;
      testing_support::HookedFileSystem hooked(failing);
      if (std::string(kind) == "directory") {
        hooked.fail_directory_sync(nth);
      } else {
        failing.fail_step(kind, nth, 2);
      }
      qdb::Result<void> committed;
      {
        InstalledFileSystem installed(hooked);
        committed = change(m_tmp.dir());
      }
      // The second directory sync is the commit's own: every file is in place, but not known
      // to be on the disk, and the answer says so.
      const bool commit_sync = std::string(kind) == "directory" && nth == 2;
      if (commit_sync) {
        ASSERT_FALSE(committed);
        EXPECT_EQ(committed.status(), qdb::kNotConfirmed);
        EXPECT_EQ(files_in(m_tmp.path()), kAfter);
        continue;
      }
      if (committed) {
        EXPECT_EQ(files_in(m_tmp.path()), kAfter);
        if (failing.failures() + hooked.failures() == 0) break;
        continue;
      }
      ++failed_runs;
      EXPECT_FALSE(committed.error().cause.empty());
      Files after = files_in(m_tmp.path());
      after.erase("F1.BAK");
      EXPECT_EQ(after, kBefore);
    }
  }
  EXPECT_GT(failed_runs, 25);
}

// Another program that writes a file after the transaction read it, even between the write of
// the new files and their commit, keeps its change: nothing is replaced, and the cause names
// the file.
TEST_F(Transaction, AFileChangedBeforeTheCommitIsNotReplaced) {
  for (const char* changed : {"F1.DAT", "emaster", "MASTER"}) {
    SCOPED_TRACE(changed);
    SetUp();
    testing_support::HookedFileSystem hooked(qdb::native_file_system());
    const fs::path target = m_tmp.path() / changed;
    hooked.before_commit_of(target.string(), [&] { write_bytes(target, "another program's"); });
    qdb::Result<void> done;
    {
      InstalledFileSystem installed(hooked);
      done = change(m_tmp.dir());
    }
    ASSERT_FALSE(done);
    EXPECT_EQ(done.error().cause, std::string(changed) + " was changed by another program");
    Files expected = kBefore;
    expected[changed] = "another program's";
    expected["F1.BAK"] = kBefore.at("F1.DAT");
    EXPECT_EQ(files_in(m_tmp.path()), expected);
  }
}

// Files staged to wait for one sync of them all: when that sync fails, nothing takes its place
// and no new file is left.
TEST_F(Transaction, AFailedSyncOfTheDeferredFilesRenamesNothing) {
  testing_support::FailingBatchSync files;
  qdb::Result<void> done;
  {
    InstalledFileSystem installed(files);
    qdb::PortfolioTransaction transaction(m_tmp.dir());
    qdb::Staging how;
    how.defer_sync = true;
    done = transaction.stage("F1.DAT", "new quotes", how);
    if (done) done = transaction.stage("F3.DAT", "more quotes", how);
    if (done) done = transaction.commit();
  }
  ASSERT_FALSE(done);
  EXPECT_EQ(done.error().cause,
            "the new files could not be forced to the disk: Input/output error");
  EXPECT_EQ(files_in(m_tmp.path()), kBefore);
}

}  // namespace
