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
#include "support/master_bytes.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using read_fixtures::write_file;
using testing_support::dir_entry;
using testing_support::entry;
using testing_support::master;
using testing_support::MasterEntryFields;
using testing_support::record_of;
using testing_support::TempDir;

namespace {

qdb::MasterRecord symbol_record(const std::string& symbol, const std::string& name = "") {
  MasterEntryFields wanted;
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

TEST(MasterRecord, SignedLengthsCutTextsAndDirectoryEntries) {
  MasterEntryFields wanted;
  wanted.record_length = -1;
  qdb::MasterRecord r = record_of(entry(wanted));
  EXPECT_EQ(r.record_length(), -1);  // signed: 0xFF is not a usable length
  r.set_symbol("A VERY LONG SYMBOL TEXT");
  EXPECT_EQ(r.symbol_field(), "A VERY LONG SYMB");
  EXPECT_EQ(r.bytes[52], 0) << "the byte after the symbol is preserved";
  EXPECT_FALSE(r.is_directory());

  qdb::MasterRecord dir = record_of(dir_entry("PORT1"));
  EXPECT_TRUE(dir.is_directory());
  EXPECT_EQ(dir.directory_name(), "PORT1");
  std::string zero_padded = dir_entry("PORT1");
  zero_padded.replace(12, 3, std::string(3, '\0'));
  EXPECT_EQ(record_of(zero_padded).directory_name(), "PORT1");
  // "<DIR>" behind a blank first name character is a symbol entry.
  EXPECT_FALSE(record_of(dir_entry(" PORT")).is_directory());

  EXPECT_EQ(qdb::normalize_dir(""), "");
#ifdef _WIN32
  EXPECT_EQ(qdb::normalize_dir("C:"), "C:");
  EXPECT_EQ(qdb::normalize_dir("C:\\DATA"), "C:\\DATA\\");
  EXPECT_EQ(qdb::normalize_dir("C:\\DATA\\"), "C:\\DATA\\");
#else
  EXPECT_EQ(qdb::normalize_dir("/data/port"), "/data/port/");
  EXPECT_EQ(qdb::normalize_dir("/data/port/"), "/data/port/");
#endif
}

TEST(SymbolMatches, KeyBlanksDecideHowMuchOfTheSymbolCounts) {
  const struct {
    const char* symbol;
    const char* name;
    const char* key;
    bool matches;
  } cases[] = {
      {"IBM", "", "ibm", true},
      {"IBM X", "", "IBM", true},
      {"IBM", "", "IBM X", false},
      {"BRK A CLASS", "", "brk a", true},
      {"BRK A CLASS", "", "BRKA", false},
      {"IBMX", "", "IBM", false},
      {"IBM", "", "IB", false},
      // The issue name, trimmed, matches whole; a blank symbol matches only the empty key.
      {"", "Hang Seng Mini", "HANG SENG MINI", true},
      {"", "Hang Seng Mini", "HANG SENG", false},
      {"", "APX", "apx", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qdb::symbol_matches(symbol_record(c.symbol, c.name), c.key), c.matches)
        << c.symbol << "/" << c.name << " by " << c.key;
  }
  // A symbol padded with a zero byte and then blanks, as some vendors write it.
  qdb::MasterRecord r = symbol_record("HSM__2000V");
  r.bytes[36 + 10] = 0;
  EXPECT_TRUE(qdb::symbol_matches(r, "hsm__2000v"));
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

  for (const char* key : {"ibm", "IBM X", "intl bus mach"}) {
    EXPECT_EQ(lookup(tree_root(), key).record.file_number(), 2) << key;
  }
  EXPECT_EQ(lookup(tree_root(), "BLANKSYM").record.file_number(), 3);
  EXPECT_EQ(lookup(tree_root(), "SUB ALPHA").dir, tree_root() + "/SUB/");
  EXPECT_EQ(lookup(tree_root(), "NOSUCH").status, qdb::kFileNotFound);
  EXPECT_EQ(lookup(tree_root() + "/missing", "AAA").status, qdb::kFileNotFound);
}

TEST(FindSymbol, FileOrderDecidesBetweenNameAndSymbolMatches) {
  TempDir dir;
  MasterEntryFields a;
  a.file_number = 1;
  a.name = "FOO";
  a.symbol = "A1";
  MasterEntryFields b;
  b.file_number = 2;
  b.symbol = "FOO";
  write_file(dir.path() / "MASTER", master({entry(a), entry(b)}));
  EXPECT_EQ(lookup(dir.dir(), "foo").record.file_number(), 1);
  write_file(dir.path() / "MASTER", master({entry(b), entry(a)}));
  EXPECT_EQ(lookup(dir.dir(), "foo").record.file_number(), 2);
}

// A file number addresses one entry of the root's own MASTER, and only while its text still
// matches the key: a duplicate symbol, a changed entry, a sub-portfolio's entry.
TEST(FindSymbol, AFileNumberTakesThatRootEntryOnly) {
  TempDir dir;
  MasterEntryFields a;
  a.file_number = 1;
  a.symbol = "FOO";
  MasterEntryFields b = a;
  b.file_number = 2;
  b.name = "FOO TWO";
  write_file(dir.path() / "MASTER", master({entry(a), entry(b)}));
  const struct {
    std::string root, key;
    int file_number;
    qdb::StatusCode status;
    int found;
  } cases[] = {
      {dir.dir(), "foo", 0, qdb::kSuccess, 1},
      {dir.dir(), "foo", 2, qdb::kSuccess, 2},
      {dir.dir(), "FOO TWO", 2, qdb::kSuccess, 2},
      {dir.dir(), "FOO TWO", 1, qdb::kFileNotFound, 0},
      {dir.dir(), "foo", 3, qdb::kFileNotFound, 0},
      {tree_root(), "deep", 0, qdb::kSuccess, 2},
      {tree_root(), "deep", 2, qdb::kFileNotFound, 0},  // SUB's F2, not the root's
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + " " + std::to_string(c.file_number));
    qdb::MasterRecord record;
    std::string found_dir;
    EXPECT_EQ(qdb::find_symbol(c.root, c.key, record, found_dir, c.file_number), c.status);
    if (c.status == qdb::kSuccess) {
      EXPECT_EQ(record.file_number(), c.found);
    }
  }
}

TEST(FindSymbol, NamesMatchWithoutRegardToCase) {
  TempDir dir;
  MasterEntryFields s;
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
  MasterEntryFields s;
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

// A "<DIR>" entry is followed only into a directory that really lies inside the MASTER's own:
// a link to a sub-portfolio is, links up or out of the tree are not.
TEST(FindSymbol, DirectoryLinksLeadingOutOfTheTreeAreNotFollowed) {
  TempDir top;
  const fs::path root = top.path() / "root", outside = top.path() / "outside";
  fs::create_directories(root / "real");
  fs::create_directories(outside);
  MasterEntryFields parent, away, inner;
  parent.symbol = "PARENT";
  away.symbol = "AWAY";
  inner.symbol = "INNER";
  write_file(top.path() / "MASTER", master({entry(parent)}));
  write_file(outside / "MASTER", master({entry(away)}));
  write_file(root / "real" / "MASTER", master({entry(inner)}));
  fs::create_directory_symlink("..", root / "UP");
  fs::create_directory_symlink(outside, root / "OUT");
  fs::create_directory_symlink("real", root / "INSIDE");
  write_file(root / "MASTER", master({dir_entry("UP"), dir_entry("OUT"), dir_entry("INSIDE")}));
  EXPECT_EQ(lookup(root.string(), "PARENT").status, qdb::kFileNotFound);
  EXPECT_EQ(lookup(root.string(), "AWAY").status, qdb::kFileNotFound);
  const Found found = lookup(root.string(), "INNER");
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.dir, (root / "INSIDE").string() + "/");
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
    MasterEntryFields s;
    s.symbol = "S" + std::to_string(level);
    write_file(at / "MASTER", master({dir_entry("D"), entry(s)}));
    at /= "D";
  }
  EXPECT_EQ(lookup(deep.dir(), "S63").status, 0);
  EXPECT_EQ(lookup(deep.dir(), "S64").status, qdb::kFileNotFound);
}

TEST(FindSymbol, EntryFailingDuringSubdirectoryWalkIsAReadError) {
  TempDir dir;
  write_file(dir.path() / "MASTER", master({dir_entry("A"), dir_entry("B")}));
  write_file(dir.path() / "A" / "MASTER", master({}));
  // Reads of the root MASTER: header, entries, entries from the first "<DIR>"; after A the
  // header again, then the entries from B, which come back empty as if the file was cut.
  testing_support::FailingFileSystem files;
  files.fail_read(5, dir.dir() + "MASTER", 0);
  testing_support::InstalledFileSystem installed(files);
  EXPECT_EQ(lookup(dir.dir(), "X").status, qdb::kFileRead);
  EXPECT_EQ(files.failures(), 1);
}
