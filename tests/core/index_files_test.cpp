// The three index files of a vendor portfolio (MASTER, EMASTER, XMASTER) after each symbol
// command, byte for byte, against files built here from the field layout alone; and a failure
// at any step of their rewrite leaving all three as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/delete_symbol.h"
#include "core/index_agreement.h"
#include "core/portfolio_index.h"
#include "core/rename_symbol.h"
#include "core/transfer_symbol.h"
#include "support/failing_file_system.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

struct Entry {
  int number;
  std::string symbol;
  std::string long_name;
  std::uint32_t first;  // YYYYMMDD
  std::uint32_t last;
  char marker = 0;  // EMASTER bytes 0 and 1, whose meaning is unknown
};

void put16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}
void put_text(std::string& s, std::size_t at, const std::string& text, std::size_t width,
              char pad) {
  for (std::size_t i = 0; i < width; ++i) s[at + i] = i < text.size() ? text[i] : pad;
}
// The 4-byte MBF real of a whole number below 2^24: exponent byte e + 128, 24-bit mantissa
// with its leading one replaced by the sign bit.
void put_mbf(std::string& s, std::size_t at, std::uint32_t v) {
  if (v == 0) return put32(s, at, 0);
  int e = 0;
  while ((v >> e) != 0) ++e;
  const std::uint32_t mantissa = v << (24 - e);
  s[at] = static_cast<char>(mantissa & 0xFF);
  s[at + 1] = static_cast<char>((mantissa >> 8) & 0xFF);
  s[at + 2] = static_cast<char>((mantissa >> 16) & 0x7F);
  s[at + 3] = static_cast<char>(e + 128);
}
void put_float(std::string& s, std::size_t at, float v) {
  std::uint32_t bits = 0;
  static_assert(sizeof bits == sizeof v);
  std::memcpy(&bits, &v, sizeof bits);
  put32(s, at, bits);
}
std::uint32_t yymmdd(std::uint32_t yyyymmdd) { return yyyymmdd - 19000000; }
std::string name16(const Entry& e) { return e.long_name.substr(0, 16); }

// A header of size bytes counting the entries twice (at bytes 0 and 2), then one record of size
// bytes per entry as fill writes it.
std::string counted_file(std::size_t size, const std::vector<Entry>& entries,
                         const std::function<void(std::string&, const Entry&)>& fill) {
  std::string all(size, '\0');
  put16(all, 0, static_cast<unsigned>(entries.size()));
  put16(all, 2, static_cast<unsigned>(entries.size()));
  for (const Entry& e : entries) {
    std::string r(size, '\0');
    fill(r, e);
    all += r;
  }
  return all;
}

std::string master_file(const std::vector<Entry>& entries) {
  return counted_file(53, entries, [](std::string& r, const Entry& e) {
    r[0] = static_cast<char>(e.number);
    r[3] = 28;
    r[4] = 7;
    put_text(r, 7, name16(e), 16, ' ');
    put_mbf(r, 25, yymmdd(e.first));
    put_mbf(r, 29, yymmdd(e.last));
    r[33] = 'D';
    put_text(r, 36, e.symbol, 16, ' ');
  });
}

std::string emaster_file(const std::vector<Entry>& entries) {
  return counted_file(192, entries, [](std::string& r, const Entry& e) {
    r[0] = r[1] = e.marker;
    r[2] = static_cast<char>(e.number);
    r[6] = 7;
    r[7] = 0x7F;
    r[9] = ' ';
    put_text(r, 11, e.symbol, 21, '\0');
    put_text(r, 32, name16(e), 16, '\0');
    r[60] = 'D';
    put_float(r, 64, static_cast<float>(yymmdd(e.first)));
    put_float(r, 72, static_cast<float>(yymmdd(e.last)));
    put32(r, 126, e.first);
    put_text(r, 139, e.long_name, 53, '\0');
  });
}

std::string xmaster_file(const std::vector<Entry>& entries, unsigned next) {
  std::string all(150, '\0');
  all[0] = '\x5D';
  all[1] = '\xFE';
  all[2] = 'X';
  all[3] = 'M';
  put16(all, 10, static_cast<unsigned>(entries.size()));
  put16(all, 14, static_cast<unsigned>(entries.size()));
  put16(all, 18, next);
  for (const Entry& e : entries) {
    std::string r(150, '\0');
    r[0] = 1;
    put_text(r, 1, e.symbol, 15, '\0');
    put_text(r, 16, e.long_name, 46, '\0');
    r[62] = 'D';
    put16(r, 65, static_cast<unsigned>(e.number));
    r[70] = 0x7F;
    put32(r, 104, e.first);
    put32(r, 108, e.first);
    put32(r, 116, e.last);
    all += r;
  }
  return all;
}

constexpr auto read_file = testing_support::read_bytes;
constexpr auto write_file = testing_support::write_bytes;

const Entry kAlpha{1, "ALPHA", "Alpha Holdings Limited Ordinary", 20210104, 20210630, '6'};
const Entry kBeta{2, "BETA", "Beta", 20200302, 20211231};
const Entry kGamma{3, "GAMMA", "Gamma Mini Futures 202203", 20211001, 20220330};
const Entry kXray{256, "XRAY", "Xray Futures Contract 202206", 20211029, 20220629};
const Entry kYoke{257, "YOKE", "Yoke Index Futures 202209", 20220131, 20220829};

std::string label(const char* prefix, int number) {
  std::string text(prefix);
  text += std::to_string(number);
  return text;
}
std::string content(int number) { return label("F", number); }
std::string quote_name(int number, const char* extension) { return content(number) + extension; }

// A portfolio with its three index files and a quote file per entry ("F<n>" as content).
void make_portfolio(const fs::path& dir, const std::vector<Entry>& master,
                    const std::vector<Entry>& extended, unsigned next = 258) {
  fs::create_directories(dir);
  write_file(dir / "MASTER", master_file(master));
  write_file(dir / "EMASTER", emaster_file(master));
  if (!extended.empty() || next != 0) write_file(dir / "XMASTER", xmaster_file(extended, next));
  for (const Entry& e : master) write_file(dir / quote_name(e.number, ".DAT"), content(e.number));
  for (const Entry& e : extended) write_file(dir / quote_name(e.number, ".MWD"), content(e.number));
}

struct Expected {
  std::vector<Entry> master;
  std::vector<Entry> extended;
  unsigned next;
};

void expect_index(const fs::path& dir, const Expected& want) {
  EXPECT_EQ(read_file(dir / "MASTER"), master_file(want.master)) << dir;
  EXPECT_EQ(read_file(dir / "EMASTER"), emaster_file(want.master)) << dir;
  EXPECT_EQ(read_file(dir / "XMASTER"), xmaster_file(want.extended, want.next)) << dir;
}

Entry renamed(Entry e, const std::string& symbol, const std::string& name) {
  e.symbol = symbol;
  e.long_name = name;
  return e;
}
Entry numbered(Entry e, int number, bool keep_marker = true) {
  e.number = number;
  if (!keep_marker) e.marker = 0;
  return e;
}

class IndexFiles : public ::testing::Test {
 protected:
  void SetUp() override { make_portfolio(src(), {kAlpha, kBeta, kGamma}, {kXray, kYoke}); }
  fs::path src() const { return m_temp.path() / "src"; }
  fs::path dest() const { return m_temp.path() / "dest"; }
  std::string master_path() const { return (src() / "MASTER").string(); }
  TempDir m_temp;
};

TEST_F(IndexFiles, RenameAndDeleteChangeEveryFileThatHoldsTheEntry) {
  ASSERT_TRUE(core::rename_symbol(master_path(), "BETA", "BETA2", "Beta Two").ok);
  expect_index(src(), {{kAlpha, renamed(kBeta, "BETA2", "Beta Two"), kGamma}, {kXray, kYoke}, 258});
  ASSERT_TRUE(core::rename_symbol(master_path(), "YOKE", "YOKE9", "Yoke Nine").ok);
  expect_index(src(), {{kAlpha, renamed(kBeta, "BETA2", "Beta Two"), kGamma},
                       {kXray, renamed(kYoke, "YOKE9", "Yoke Nine")},
                       258});

  ASSERT_TRUE(core::delete_symbol(src().string(), master_path(), "ALPHA").ok);
  ASSERT_TRUE(core::delete_symbol(src().string(), master_path(), "XRAY").ok);
  expect_index(
      src(),
      {{renamed(kBeta, "BETA2", "Beta Two"), kGamma}, {renamed(kYoke, "YOKE9", "Yoke Nine")}, 258});
  EXPECT_FALSE(fs::exists(src() / "F1.DAT") || fs::exists(src() / "F256.MWD"));
  EXPECT_TRUE(fs::exists(src() / "F257.MWD"));
  // Each file replaced kept its backup.
  EXPECT_TRUE(fs::exists(src() / "EMASTER.BAK") && fs::exists(src() / "XMASTER.BAK"));
}

TEST_F(IndexFiles, MoveAndCopyBetweenMasterAndXmaster) {
  // A destination whose MASTER is full: the symbol goes to its XMASTER, created there.
  std::vector<Entry> full;
  for (int n = 1; n <= 255; ++n)
    full.push_back({n, label("S", n), label("Name ", n), 20200101, 20200131, n <= 16 ? '6' : '\0'});
  make_portfolio(dest(), full, {}, 0);
  ASSERT_FALSE(fs::exists(dest() / "XMASTER"));
  const core::TransferResult in =
      core::transfer_symbol(src().string(), "alpha", dest().string(), core::TransferMode::Move);
  ASSERT_TRUE(in.ok) << in.messages.at(0);
  EXPECT_EQ(in.new_file_number, 256);
  expect_index(dest(), {full, {numbered(kAlpha, 256, false)}, 257});
  expect_index(src(), {{kBeta, kGamma}, {kXray, kYoke}, 258});
  EXPECT_EQ(read_file(dest() / "F256.MWD"), "F1");
  EXPECT_FALSE(fs::exists(src() / "F1.DAT"));

  // Out of an XMASTER into a MASTER with room: the lowest free number, an EMASTER entry made.
  const core::TransferResult out = core::transfer_symbol(
      src().string(), "XRAY", m_temp.dir() + "back", core::TransferMode::Move);
  EXPECT_FALSE(out.ok);  // no portfolio there
  make_portfolio(m_temp.path() / "back", {kBeta}, {}, 0);
  const core::TransferResult moved = core::transfer_symbol(
      src().string(), "XRAY", (m_temp.path() / "back").string(), core::TransferMode::Move);
  ASSERT_TRUE(moved.ok) << moved.messages.at(0);
  EXPECT_EQ(moved.new_file_number, 1);
  EXPECT_EQ(read_file(m_temp.path() / "back" / "MASTER"), master_file({kBeta, numbered(kXray, 1)}));
  EXPECT_EQ(read_file(m_temp.path() / "back" / "EMASTER"),
            emaster_file({kBeta, numbered(kXray, 1)}));
  EXPECT_EQ(read_file(m_temp.path() / "back" / "F1.DAT"), "F256");
  expect_index(src(), {{kBeta, kGamma}, {kYoke}, 258});

  // A copy between MASTERs carries the EMASTER entry whole, unknown bytes included.
  const core::TransferResult copied =
      core::transfer_symbol(dest().string(), "S7", src().string(), core::TransferMode::Copy);
  ASSERT_TRUE(copied.ok) << copied.messages.at(0);
  EXPECT_EQ(copied.new_file_number, 1);
  expect_index(src(), {{kBeta, kGamma, numbered(full[6], 1)}, {kYoke}, 258});
}

// A rewrite of all three files that fails at any step (a backup, a new file, a rename into
// place) leaves all three as they were.
TEST_F(IndexFiles, AFailureAtAnyStepOfAThreeFileRewriteChangesNothing) {
  const std::string before[3] = {read_file(src() / "MASTER"), read_file(src() / "EMASTER"),
                                 read_file(src() / "XMASTER")};
  for (const char* kind : {"create", "write", "sync", "rename"}) {
    for (int nth = 1;; ++nth) {
      qdb::Result<core::PortfolioIndex> index = core::read_portfolio_index(master_path());
      ASSERT_TRUE(index);
      core::rename_entry(*index, {false, 1}, "B", "b");
      core::rename_entry(*index, {true, 0}, "X", "x");
      testing_support::FailingFileSystem files;
      files.fail_step(kind, nth, 7);
      bool written = false;
      {
        testing_support::InstalledFileSystem installed(files);
        written = core::write_portfolio_index(*index, ".~NU", false).ok();
      }
      if (files.failures() == 0) {
        ASSERT_TRUE(written) << kind;
        EXPECT_NE(read_file(src() / "MASTER"), before[0]);
        break;
      }
      ASSERT_FALSE(written) << kind << " " << nth;
      EXPECT_EQ(read_file(src() / "MASTER"), before[0]) << kind << " " << nth;
      EXPECT_EQ(read_file(src() / "EMASTER"), before[1]) << kind << " " << nth;
      EXPECT_EQ(read_file(src() / "XMASTER"), before[2]) << kind << " " << nth;
      for (const auto& entry : fs::directory_iterator(src())) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find('~'), std::string::npos) << kind << " " << nth << " left " << name;
      }
    }
    for (const std::string name : {"MASTER", "EMASTER", "XMASTER"})
      write_file(src() / name, before[name == "MASTER" ? 0 : name == "EMASTER" ? 1 : 2]);
  }
}

TEST_F(IndexFiles, CheckAndRepairOfADisagreeingEmaster) {
  EXPECT_TRUE(core::find_index_disagreements(master_path()).empty());
  // BETA's entry names another symbol, GAMMA's is missing, a stray F9 is left over.
  const Entry stray{9, "GONE", "Gone", 20200101, 20200102};
  std::string damaged = emaster_file({kAlpha, renamed(kBeta, "BETX", "Beta"), stray});
  damaged[0] = 3;
  write_file(src() / "EMASTER", damaged);
  EXPECT_EQ(
      core::find_index_disagreements(master_path()),
      (std::vector<std::string>{"EMASTER entry F2 holds symbol BETX against the MASTER's BETA",
                                "EMASTER has no entry for F3 (GAMMA)",
                                "EMASTER entry F9 (GONE) is not in the MASTER"}));

  const core::IndexRepairResult repaired = core::repair_index_files(master_path());
  ASSERT_TRUE(repaired.ok) << repaired.failure;
  // A made entry holds the MASTER's 16-character name as its long name.
  EXPECT_EQ(read_file(src() / "EMASTER"),
            emaster_file({kAlpha, kBeta, renamed(kGamma, "GAMMA", "Gamma Mini Futur")}));
  EXPECT_EQ(read_file(src() / "EMASTER.bak"), damaged);
  EXPECT_EQ(read_file(src() / "EMASTER.repair1.bak"), damaged);
  EXPECT_TRUE(core::find_index_disagreements(master_path()).empty());
  EXPECT_EQ(read_file(src() / "MASTER"), master_file({kAlpha, kBeta, kGamma}));
}

}  // namespace
