// A file system for tests that passes everything to the native one but can be told to make
// one step fail: the Nth create, write, sync, close, rename, remove or open, optionally only
// for paths containing a given text. It counts every operation. A failed step reports EIO.
//
//   testing_support::FailingFileSystem files;
//   files.fail_write(2, "F1.NEW");           // the second write to F1.NEW fails
//   testing_support::InstalledFileSystem installed(files);
//   ... run the operation; installed restores the previous file system when it goes away.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qdb/file_system.h"

namespace testing_support {

class FailingFileSystem final : public qdb::FileSystem {
 public:
  // nth value that makes every matching operation fail, not only one.
  static constexpr int kEvery = -1;

  FailingFileSystem();

  // Each rule makes the nth matching operation (1-based, counted from when the rule is set)
  // fail; path_part limits the rule to paths containing it (empty: every path). Setting a
  // rule again replaces the earlier one of its kind.
  void fail_create(int nth = 1, std::string path_part = {});
  // The failing write first writes partial_bytes of its buffer, as a full disk would.
  void fail_write(int nth = 1, std::string path_part = {}, std::size_t partial_bytes = 0);
  void fail_sync(int nth = 1, std::string path_part = {});
  void fail_close(int nth = 1, std::string path_part = {});
  // A rename matches when either its source or its target contains path_part.
  void fail_rename(int nth = 1, std::string path_part = {});
  void fail_remove(int nth = 1, std::string path_part = {});
  void fail_open_read(int nth = 1, std::string path_part = {});
  // The failing read delivers only partial_bytes of what was asked, as an I/O error would.
  void fail_read(int nth = 1, std::string path_part = {}, std::size_t partial_bytes = 0);
  // The failing listing answers that the directory can't be read.
  void fail_list(int nth = 1, std::string path_part = {});
  // The rule of a kind named as the fault-injection tests list them ("create", "write", "sync",
  // "close", "rename", "remove", "open", "read"), on every path; a failing write or read first
  // passes partial_bytes.
  void fail_step(std::string_view kind, int nth, std::size_t partial_bytes = 0);
  // Removes every rule (counters keep running).
  void clear_failures();

  // Operations seen so far (failed ones included).
  int creates() const { return m_creates; }
  int writes() const { return m_writes; }
  int syncs() const { return m_syncs; }
  int closes() const { return m_closes; }
  int renames() const { return m_renames; }
  int removes() const { return m_removes; }
  int opens() const { return m_opens; }
  int reads() const { return m_reads; }
  // How many operations were made to fail.
  int failures() const { return m_failures; }
  // Paths created, in order.
  const std::vector<std::string>& created_paths() const { return m_created_paths; }

  std::unique_ptr<qdb::ReadFile> open_read(const std::string& path) override;
  std::unique_ptr<qdb::WriteFile> create(const std::string& path) override;
  // Counted and failed as a create.
  std::unique_ptr<qdb::WriteFile> create_new(const std::string& path,
                                             const std::string& like) override;
  std::optional<qdb::FileIdentity> identity(const std::string& path) override;
  bool rename(const std::string& from, const std::string& to) override;
  bool remove(const std::string& path) override;
  bool exists(const std::string& path) override;
  std::optional<std::uint64_t> file_size(const std::string& path) override;
  std::optional<std::vector<qdb::DirEntry>> list(const std::string& dir) override;

 private:
  // The write files handed out, which fail writes, syncs and closes by the rules here.
  class File;
  // The read files handed out, which fail reads by the read rule.
  class Reader;

  struct Rule {
    bool active = false;
    int nth = 0;
    std::string path_part;
    int seen = 0;
    std::size_t partial_bytes = 0;
  };
  static Rule make_rule(int nth, std::string path_part);
  // Counts a matching operation against rule; true when it must fail.
  bool should_fail(Rule& rule, const std::string& path, const std::string& other = {});

  qdb::FileSystem& m_inner;
  Rule m_create_rule, m_write_rule, m_sync_rule, m_close_rule;
  Rule m_rename_rule, m_remove_rule, m_open_rule, m_read_rule, m_list_rule;
  int m_creates = 0, m_writes = 0, m_syncs = 0, m_closes = 0;
  int m_renames = 0, m_removes = 0, m_opens = 0, m_reads = 0;
  int m_failures = 0;
  std::vector<std::string> m_created_paths;
};

// Installs a file system for the lifetime of the object and restores the previous one.
class InstalledFileSystem {
 public:
  explicit InstalledFileSystem(qdb::FileSystem& fs);
  ~InstalledFileSystem();
  InstalledFileSystem(const InstalledFileSystem&) = delete;
  InstalledFileSystem& operator=(const InstalledFileSystem&) = delete;

 private:
  qdb::FileSystem* m_previous;
};

}  // namespace testing_support
