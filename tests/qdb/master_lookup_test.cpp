// MASTER records and the lookup of a symbol in a MASTER tree.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "qdb/file_system.h"
#include "qdb/master.h"
#include "qdb/mbf.h"
#include "read_fixture_builder.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using read_fixtures::dir_entry;
using read_fixtures::entry;
using read_fixtures::EntrySpec;
using read_fixtures::master;
using read_fixtures::write_file;
using testing_support::TempDir;

namespace {

qdb::MasterRecord record_of(const std::string& bytes) {
  qdb::MasterRecord r;
  std::memcpy(r.bytes.data(), bytes.data(), qdb::kMasterRecordSize);
  return r;
}

qdb::MasterRecord symbol_record(const std::string& symbol, const std::string& name = "") {
  EntrySpec wanted;
  wanted.symbol = symbol;
  wanted.name = name;
  return record_of(entry(wanted));
}

std::string tree_root() { return testing_support::test_data("read/tree").string(); }

struct Found {
  qdb::StatusCode status;
  qdb::MasterRecord record;
  std::string dir;
};

Found lookup(const std::string& root, const std::string& key) {
  Found f;
  f.status = qdb::find_symbol(root, key, f.record, f.dir);
  return f;
}

float native_date(const qdb::MasterRecord& r, int offset) {
  return qdb::ieee_bytes_to_float(r.bytes.data() + offset);
}

}  // namespace

TEST(MasterRecord, FieldsDirectoryEntriesAndHeaderCounts) {
  EntrySpec wanted;
  wanted.file_number = 200;
  wanted.record_length = -1;
  wanted.field_count = 7;
  wanted.name = "ISSUE";
  wanted.symbol = "SYM";
  wanted.periodicity = 'W';
  qdb::MasterRecord r = record_of(entry(wanted));
  EXPECT_EQ(r.file_number(), 200);
  EXPECT_EQ(r.record_length(), -1);  // signed: 0xFF is not a usable length
  EXPECT_EQ(r.field_count(), 7);
  EXPECT_EQ(r.periodicity(), 'W');
  EXPECT_EQ(r.issue_name_field(), "ISSUE           ");
  EXPECT_EQ(r.symbol_field(), "SYM             ");
  r.set_symbol("A VERY LONG SYMBOL TEXT");
  EXPECT_EQ(r.symbol_field(), "A VERY LONG SYMB");
  r.set_issue_name("X");
  EXPECT_EQ(r.issue_name_field(), "X               ");
  EXPECT_EQ(r.bytes[52], 0) << "the byte after the symbol is preserved";
  EXPECT_FALSE(r.is_directory());

  qdb::MasterRecord dir = record_of(dir_entry("PORT1"));
  EXPECT_TRUE(dir.is_directory());
  EXPECT_EQ(dir.directory_name(), "PORT1");
  std::string zero_padded = dir_entry("PORT1");
  zero_padded.replace(12, 3, std::string(3, '\0'));
  EXPECT_EQ(record_of(zero_padded).directory_name(), "PORT1");
  // "<DIR>" behind a blank first name character is a symbol entry.
  qdb::MasterRecord blank = record_of(dir_entry(" PORT"));
  EXPECT_FALSE(blank.is_directory());

  qdb::MasterHeader h;
  h.set_count(0x1234);
  h.set_count2(255);
  EXPECT_EQ(h.bytes[0], 0x34);
  EXPECT_EQ(h.bytes[1], 0x12);
  EXPECT_EQ(h.count(), 0x1234);
  EXPECT_EQ(h.count2(), 255);
}

TEST(MasterRecord, NormalizeDirAddsOneSeparator) {
  EXPECT_EQ(qdb::normalize_dir(""), "");
#ifdef _WIN32
  EXPECT_EQ(qdb::normalize_dir("C:"), "C:");
  EXPECT_EQ(qdb::normalize_dir("C:\\DATA"), "C:\\DATA\\");
  EXPECT_EQ(qdb::normalize_dir("C:\\DATA\\"), "C:\\DATA\\");
#else
  EXPECT_EQ(qdb::normalize_dir("/data/port"), "/data/port/");
  EXPECT_EQ(qdb::normalize_dir("/data/port/"), "/data/port/");
  EXPECT_EQ(qdb::normalize_dir("rel"), "rel/");
#endif
}

TEST(SymbolMatches, KeyBlanksDecideHowMuchOfTheSymbolCounts) {
  EXPECT_TRUE(qdb::symbol_matches(symbol_record("IBM"), "ibm"));
  EXPECT_TRUE(qdb::symbol_matches(symbol_record("IBM X"), "IBM"));
  EXPECT_FALSE(qdb::symbol_matches(symbol_record("IBM"), "IBM X"));
  EXPECT_TRUE(qdb::symbol_matches(symbol_record("BRK A CLASS"), "brk a"));
  EXPECT_FALSE(qdb::symbol_matches(symbol_record("BRK A CLASS"), "BRKA"));
  EXPECT_FALSE(qdb::symbol_matches(symbol_record("IBMX"), "IBM"));
  EXPECT_FALSE(qdb::symbol_matches(symbol_record("IBM"), "IB"));
}

TEST(SymbolMatches, IssueNameTrimmedAndZeroTerminatedFields) {
  EXPECT_TRUE(qdb::symbol_matches(symbol_record("", "Hang Seng Mini"), "HANG SENG MINI"));
  EXPECT_FALSE(qdb::symbol_matches(symbol_record("", "Hang Seng Mini"), "HANG SENG"));
  // A symbol padded with a zero byte and then blanks, as some vendors write it.
  qdb::MasterRecord r = symbol_record("HSM__2000V");
  r.bytes[36 + 10] = 0;
  EXPECT_TRUE(qdb::symbol_matches(r, "HSM__2000V"));
  EXPECT_TRUE(qdb::symbol_matches(r, "hsm__2000v"));
  // A blank symbol field matches nothing but the empty key; the key then names the issue.
  EXPECT_TRUE(qdb::symbol_matches(symbol_record("", "APX"), "apx"));
}

TEST(FindSymbol, RootEntriesWinOverSubdirectoriesListedFirst) {
  const Found aaa = lookup(tree_root(), "AAA");
  ASSERT_EQ(aaa.status, 0);
  EXPECT_EQ(aaa.dir, tree_root() + "/");
  EXPECT_EQ(aaa.record.file_number(), 1);
  EXPECT_EQ(aaa.record.issue_name_field(), "ALPHA INC       ");
  // Dates come back as native reals (3 January 2000 is 1000103).
  EXPECT_FLOAT_EQ(native_date(aaa.record, qdb::master_offset::kFirstDate), 1000103.0f);
  EXPECT_GT(native_date(aaa.record, qdb::master_offset::kLastDate), 1000103.0f);

  const Found deep = lookup(tree_root(), "deep");
  ASSERT_EQ(deep.status, 0);
  EXPECT_EQ(deep.dir, tree_root() + "/SUB/");
  EXPECT_EQ(deep.record.file_number(), 2);

  // With or without the trailing separator the result is the same.
  const Found again = lookup(tree_root() + "/", "DEEP");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.dir, deep.dir);

  EXPECT_EQ(lookup(tree_root(), "ibm").record.file_number(), 2);
  EXPECT_EQ(lookup(tree_root(), "IBM X").record.file_number(), 2);
  EXPECT_EQ(lookup(tree_root(), "intl bus mach").record.file_number(), 2);
  EXPECT_EQ(lookup(tree_root(), "BLANKSYM").record.file_number(), 3);
  EXPECT_EQ(lookup(tree_root(), "SUB ALPHA").dir, tree_root() + "/SUB/");
  EXPECT_EQ(lookup(tree_root(), "NOSUCH").status, qdb::kFileNotFound);
  EXPECT_EQ(lookup(tree_root() + "/missing", "AAA").status, qdb::kFileNotFound);
}

TEST(FindSymbol, FileOrderDecidesBetweenNameAndSymbolMatches) {
  TempDir dir;
  EntrySpec a;
  a.file_number = 1;
  a.name = "FOO";
  a.symbol = "A1";
  EntrySpec b;
  b.file_number = 2;
  b.symbol = "FOO";
  write_file(dir.path() / "MASTER", master({entry(a), entry(b)}));
  EXPECT_EQ(lookup(dir.dir(), "foo").record.file_number(), 1);
  write_file(dir.path() / "MASTER", master({entry(b), entry(a)}));
  EXPECT_EQ(lookup(dir.dir(), "foo").record.file_number(), 2);
}

TEST(FindSymbol, NamesMatchWithoutRegardToCase) {
  TempDir dir;
  EntrySpec s;
  s.symbol = "LOW";
  write_file(dir.path() / "Master", master({dir_entry("sub")}));
  write_file(dir.path() / "SUB" / "master", master({entry(s)}));
  const Found f = lookup(dir.dir(), "LOW");
  ASSERT_EQ(f.status, 0);
  EXPECT_EQ(f.dir, dir.dir() + "SUB/") << "the directory's own name is handed back";
}

TEST(FindSymbol, BlankNamedDirEntryIsComparedAsSymbol) {
  TempDir dir;
  std::string rec = dir_entry(" SUB");
  rec.replace(36, 6, "NOTDIR");
  EntrySpec s;
  s.symbol = "INSIDE";
  write_file(dir.path() / "MASTER", master({rec}));
  write_file(dir.path() / "SUB" / "MASTER", master({entry(s)}));
  EXPECT_EQ(lookup(dir.dir(), "NOTDIR").status, 0);
  EXPECT_EQ(lookup(dir.dir(), "INSIDE").status, qdb::kFileNotFound);
}

TEST(FindSymbol, DamagedMastersAreSkippedQuietly) {
  const std::string trunc = testing_support::test_data("read/broken/truncated_master").string();
  EXPECT_EQ(lookup(trunc, "ONE").status, 0);
  EXPECT_EQ(lookup(trunc, "TWO").status, qdb::kFileNotFound);

  // A sub-portfolio whose MASTER cannot be opened is skipped; the rest still answers.
  testing_support::FailingFileSystem files;
  files.fail_open_read(testing_support::FailingFileSystem::kEvery, "SUB");
  testing_support::InstalledFileSystem installed(files);
  EXPECT_EQ(lookup(tree_root(), "DEEP").status, qdb::kFileNotFound);
  EXPECT_EQ(lookup(tree_root(), "AAA").status, 0);
}

TEST(FindSymbol, HostileDirectoryEntriesNeverLeadOutOfThePortfolio) {
  const fs::path escape = testing_support::test_data("read/broken/escape");
  const std::string inner = (escape / "inner").string();
  EXPECT_EQ(lookup(inner, "SAFE").status, 0);
  EXPECT_EQ(lookup(escape.string(), "OUTSIDE").status, 0);
  EXPECT_EQ(lookup(inner, "OUTSIDE").status, qdb::kFileNotFound) << "\"..\" was walked";
  EXPECT_EQ(lookup(inner, "HIDDEN").status, qdb::kFileNotFound) << "a separator was walked";
}

TEST(FindSymbol, DirectoryLoopsAndDeepTreesEnd) {
  TempDir dir;
  // Four entries leading back into the same directory through links: without the bounds
  // the walk would never end.
  std::vector<std::string> loop;
  for (int i = 0; i < 4; ++i) {
    const std::string name = "L" + std::to_string(i);
    loop.push_back(dir_entry(name));
    loop.push_back(dir_entry(name));  // listed twice: entered once
    fs::create_directory_symlink(".", dir.path() / name);
  }
  write_file(dir.path() / "MASTER", master(loop));
  EXPECT_EQ(lookup(dir.dir(), "NOWHERE").status, qdb::kFileNotFound);

  // A chain of nested portfolios: the 63rd level below the root is searched, deeper is not.
  TempDir deep;
  fs::path at = deep.path();
  for (int level = 0; level <= 65; ++level) {
    EntrySpec s;
    s.symbol = "S" + std::to_string(level);
    write_file(at / "MASTER", master({dir_entry("D"), entry(s)}));
    at /= "D";
  }
  EXPECT_EQ(lookup(deep.dir(), "S63").status, 0);
  EXPECT_EQ(lookup(deep.dir(), "S64").status, qdb::kFileNotFound);
}

namespace {

// Serves a file's bytes from memory.
class MemoryReadFile final : public qdb::ReadFile {
 public:
  explicit MemoryReadFile(std::string bytes) : m_bytes(std::move(bytes)) {}
  std::size_t read(void* buffer, std::size_t n) override {
    const std::size_t k = m_pos >= m_bytes.size() ? 0 : std::min(n, m_bytes.size() - m_pos);
    std::memcpy(buffer, m_bytes.data() + m_pos, k);
    m_pos += k;
    return k;
  }
  bool seek(std::uint64_t offset) override {
    m_pos = static_cast<std::size_t>(offset);
    return true;
  }
  std::uint64_t size() override { return m_bytes.size(); }

 private:
  std::string m_bytes;
  std::size_t m_pos = 0;
};

// The native file system, except that the root MASTER shrinks after its first open, as if
// another program cut it while the lookup was in a subdirectory.
class ShrinkingMasterFileSystem final : public qdb::FileSystem {
 public:
  ShrinkingMasterFileSystem(std::string master_path, std::string later_bytes)
      : m_inner(qdb::native_file_system()),
        m_path(std::move(master_path)),
        m_later(std::move(later_bytes)) {}
  std::unique_ptr<qdb::ReadFile> open_read(const std::string& path) override {
    if (path == m_path && ++m_opens > 1) return std::make_unique<MemoryReadFile>(m_later);
    return m_inner.open_read(path);
  }
  std::unique_ptr<qdb::WriteFile> create(const std::string& p) override {
    return m_inner.create(p);
  }
  bool rename(const std::string& a, const std::string& b) override { return m_inner.rename(a, b); }
  bool remove(const std::string& p) override { return m_inner.remove(p); }
  bool exists(const std::string& p) override { return m_inner.exists(p); }
  std::optional<std::uint64_t> file_size(const std::string& p) override {
    return m_inner.file_size(p);
  }
  std::optional<std::vector<qdb::DirEntry>> list(const std::string& d) override {
    return m_inner.list(d);
  }

 private:
  qdb::FileSystem& m_inner;
  std::string m_path;
  std::string m_later;
  int m_opens = 0;
};

}  // namespace

TEST(FindSymbol, EntryFailingDuringSubdirectoryWalkIsAReadError) {
  TempDir dir;
  const std::string full = master({dir_entry("A"), dir_entry("B")});
  write_file(dir.path() / "MASTER", full);
  write_file(dir.path() / "A" / "MASTER", master({}));
  ShrinkingMasterFileSystem files(dir.dir() + "MASTER", full.substr(0, 53 * 2));
  testing_support::InstalledFileSystem installed(files);
  EXPECT_EQ(lookup(dir.dir(), "X").status, qdb::kFileRead);
}
