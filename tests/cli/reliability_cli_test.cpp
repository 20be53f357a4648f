// dorvane-cli against what else may happen in a portfolio: another command at the same time,
// links and FIFOs planted under the names it uses, a MASTER whose dates went stale, and files
// whose mode and owner must survive a rewrite.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli_run.h"
#include "core/master_image.h"
#include "core/symbol_rows.h"
#include "qdb/dates.h"
#include "qdb/mbf.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::CliResult;
using testing_support::make_portfolio;
using testing_support::read_bytes;
using testing_support::run_cli;
using testing_support::TempDir;
using testing_support::write_bytes;

namespace {

using Words = std::vector<std::string>;

std::uint16_t day(int d) { return qdb::date_serial(2000, 1, d); }

// Quotes dated January 3 to 7, 2000, closes 10 to 14.
std::vector<qdb::QuoteBar> week() {
  std::vector<qdb::QuoteBar> bars;
  for (int d = 3; d <= 7; ++d) {
    const auto v = static_cast<float>(d + 7);
    bars.push_back({day(d), 0, v, v + 1, v - 1, v, 100.0f * v, 5.0f});
  }
  return bars;
}

// The symbols given as F1, F2, ..., each named "<symbol> ISSUE" with a week of quotes.
std::vector<testing_support::SymbolFixture> weekly(const Words& symbols) {
  std::vector<testing_support::SymbolFixture> fixtures;
  for (const std::string& symbol : symbols) {
    const int number = static_cast<int>(fixtures.size()) + 1;
    fixtures.push_back({number, symbol, symbol + " ISSUE", week()});
  }
  return fixtures;
}

// The symbols of dir's MASTER with their file numbers ("A:1"), in file order; the header
// count must agree with the records.
Words symbols_of(const fs::path& dir) {
  const auto image = core::read_master_image((dir / "MASTER").string());
  if (!image) return {"unreadable"};
  Words out;
  for (const auto& record : image->records)
    out.push_back(core::symbol_field_text(record) + ":" + std::to_string(record.file_number()));
  if (image->header.count() != image->records.size()) out.push_back("bad count");
  return out;
}

// Names in dir that a finished command must not leave: temporary files of any name.
Words leftovers(const fs::path& dir) {
  Words out;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    for (const char* mark : {".NEW", ".~NU", ".tmp"})
      if (name.find(mark) != std::string::npos) out.push_back(name);
  }
  return out;
}

// Runs both commands at once.
std::pair<CliResult, CliResult> together(const Words& a, const Words& b) {
  CliResult first;
  std::thread other([&] { first = run_cli(a); });
  CliResult second = run_cli(b);
  other.join();
  return {first, second};
}

// Two commands on one portfolio at the same time, over repeated runs: both succeed and the
// result holds both changes, as if they had run one after the other.
TEST(Concurrency, TwoCommandsOnOnePortfolioLoseNoUpdate) {
  for (int run = 0; run < 6; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    TempDir temp;
    const fs::path a = temp.path() / "A", b = temp.path() / "B", d = temp.path() / "D";
    make_portfolio(a, weekly({"AAA", "BBB"}));
    make_portfolio(b, weekly({"CCC"}));
    make_portfolio(d, weekly({"DDD"}));
    const std::string data = read_bytes(a / "F1.DAT");

    // Two moves into the same destination pick different file numbers.
    auto [m1, m2] = together({"move-symbol", a.string(), "AAA", d.string()},
                             {"move-symbol", b.string(), "CCC", d.string()});
    EXPECT_EQ(m1.exit_code, 0) << m1.err;
    EXPECT_EQ(m2.exit_code, 0) << m2.err;
    const Words dest = symbols_of(d);
    EXPECT_TRUE(dest == Words({"DDD:1", "AAA:2", "CCC:3"}) ||
                dest == Words({"DDD:1", "CCC:2", "AAA:3"}))
        << ::testing::PrintToString(dest);
    EXPECT_EQ(read_bytes(d / "F2.DAT"), data);
    EXPECT_EQ(read_bytes(d / "F3.DAT"), data);
    EXPECT_EQ(symbols_of(a), Words({"BBB:2"}));
    EXPECT_EQ(symbols_of(b), Words());
    EXPECT_FALSE(fs::exists(a / "F1.DAT") || fs::exists(b / "F1.DAT"));

    // A rename and a delete in one MASTER both take effect.
    auto [r, x] =
        together({"rename-symbol", a.string(), "BBB", "BBX"}, {"delete-symbol", d.string(), "DDD"});
    auto [r2, x2] =
        together({"rename-symbol", d.string(), "AAA", "AAX"}, {"delete-symbol", d.string(), "CCC"});
    for (const CliResult* result : {&r, &x, &r2, &x2})
      EXPECT_EQ(result->exit_code, 0) << result->err;
    EXPECT_EQ(symbols_of(a), Words({"BBX:2"}));
    const std::string moved_number = dest[1] == "AAA:2" ? "2" : "3";
    EXPECT_EQ(symbols_of(d), Words({"AAX:" + moved_number}));
    EXPECT_FALSE(fs::exists(d / "F1.DAT"));

    // Two quote edits of one data file both stay.
    auto [e1, e2] = together({"edit-quote", a.string(), "BBX", "01/04/00", "--close", "99"},
                             {"edit-quote", a.string(), "BBX", "01/06/00", "--open", "77"});
    EXPECT_EQ(e1.exit_code, 0) << e1.err;
    EXPECT_EQ(e2.exit_code, 0) << e2.err;
    const std::string quotes = run_cli({"quotes", a.string(), "BBX"}).out;
    EXPECT_NE(quotes.find("01/04/00\t11.0000\t12.0000\t10.0000\t99.0000"), std::string::npos)
        << quotes;
    EXPECT_NE(quotes.find("01/06/00\t77.0000"), std::string::npos) << quotes;
    for (const fs::path& dir : {a, b, d}) EXPECT_EQ(leftovers(dir), Words());
  }
}

struct Planted {
  Words command;     // {dir} is put in place of "DIR"
  const char* name;  // the name planted in the portfolio
};

Words with_dir(Words command, const fs::path& dir, const fs::path& other) {
  for (std::string& word : command) {
    if (word == "DIR") word = dir.string();
    if (word == "OTHER") word = other.string();
  }
  return command;
}

// Every temporary and backup-temporary name a command uses, planted as a link to a file
// outside the portfolio: the command works around it and the outside file stays as it was.
TEST(PlantedNames, ALinkUnderATemporaryNameLeavesTheOutsideFileUntouched) {
  const Planted cases[] = {
      {{"edit-quote", "DIR", "AAA", "01/04/00", "--close", "9"}, "F1.NEW"},
      {{"edit-quote", "DIR", "AAA", "01/04/00", "--close", "9"}, "F1.BAK.tmp~"},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "F1.NEW"},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "MASTER.NEW"},
      {{"delete-quote", "DIR", "AAA", "01/07/00"}, "MASTER.BAK.tmp~"},
      {{"rename-symbol", "DIR", "AAA", "ZZZ"}, "MASTER.NEW"},
      {{"delete-symbol", "DIR", "AAA"}, "MASTER.~NU"},
      {{"move-symbol", "OTHER", "CCC", "DIR"}, "MASTER.~NU"},
      {{"move-symbol", "OTHER", "CCC", "DIR"}, "F3.DAT.tmp~"},
      {{"copy-symbol", "OTHER", "CCC", "DIR"}, "F3.DOP.tmp~"},
  };
  for (const Planted& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.command) + " " + c.name);
    TempDir temp;
    const fs::path dir = temp.path() / "P", other = temp.path() / "O",
                   outside = temp.path() / "outside";
    make_portfolio(dir, weekly({"AAA", "BBB"}));
    make_portfolio(other, weekly({"CCC"}));
    write_bytes(outside, "keep me");
    fs::create_symlink(outside, dir / c.name);
    const CliResult result = run_cli(with_dir(c.command, dir, other));
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(read_bytes(outside), "keep me");
    EXPECT_TRUE(fs::is_symlink(dir / c.name));
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().filename() != c.name) {
        EXPECT_FALSE(fs::is_symlink(entry.path())) << entry.path();
      }
    }
  }
  // The repair's temporary and backup names.
  for (const char* name : {"MASTER.tmp", "MASTER.bak.tmp~", "MASTER.repair1.bak.tmp~"}) {
    SCOPED_TRACE(name);
    TempDir temp;
    const fs::path dir = temp.path() / "P", outside = temp.path() / "outside";
    make_portfolio(dir, weekly({"AAA", "BBB"}));
    std::string master = read_bytes(dir / "MASTER");
    master[0] = 5;  // a header count the file does not hold
    write_bytes(dir / "MASTER", master);
    write_bytes(outside, "keep me");
    fs::create_symlink(outside, dir / name);
    const CliResult result = run_cli({"repair", dir.string()});
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(read_bytes(outside), "keep me");
    EXPECT_EQ(run_cli({"check", dir.string()}).out, "sound\n");
  }
}

// A FIFO under a name a command opens is refused at once, named in the message; under a
// temporary name it is passed over. Nothing waits for a writer that never comes (the suite's
// time limit would end a command that did).
TEST(PlantedNames, AFifoNeverHoldsACommand) {
  struct Case {
    Words command;
    const char* name;
    bool refused;
  };
  const Case cases[] = {
      {{"quotes", "DIR", "AAA"}, "F1.DAT", true},
      {{"quotes", "DIR", "AAA"}, "MASTER", true},
      {{"edit-quote", "DIR", "AAA", "01/04/00", "--close", "9"}, "F1.DAT", true},
      {{"split", "DIR", "AAA", "01/05/00", "2", "1"}, "F1.DAT", true},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "F1.DOP", true},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "F1.NEW", false},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "MASTER.NEW", false},
      {{"rename-symbol", "DIR", "AAA", "ZZZ"}, "MASTER", true},
      {{"delete-symbol", "DIR", "AAA"}, "MASTER.~NU", false},
      {{"check", "DIR"}, "F1.DAT", false},
      {{"repair", "DIR"}, "MASTER", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.command) + " " + c.name);
    TempDir temp;
    const fs::path dir = temp.path() / "P";
    make_portfolio(dir, weekly({"AAA", "BBB"}));
    fs::remove(dir / c.name);
    ASSERT_EQ(::mkfifo((dir / c.name).c_str(), 0600), 0);
    const CliResult result = run_cli(with_dir(c.command, dir, dir));
    if (c.refused) {
      EXPECT_NE(result.exit_code, 0);
      EXPECT_NE(result.err.find(std::string(c.name) + " is not a regular file"), std::string::npos)
          << result.err;
    } else {
      EXPECT_EQ(result.exit_code, 0) << result.err;
    }
  }
}

// A crash between the data file's rename and the MASTER's leaves the MASTER's dates behind:
// check finds them, repair corrects them and keeps the file as it was, in a backup of its own
// and, as there is none yet, in MASTER.bak.
TEST(StaleDates, CheckFindsThemAndRepairCorrectsThemWithABackup) {
  TempDir temp;
  const fs::path dir = temp.path() / "P";
  make_portfolio(dir, weekly({"AAA", "BBB"}));
  const std::string sound = read_bytes(dir / "MASTER");
  std::string stale = sound;
  const qdb::MbfReal jan2 = qdb::date_to_mbf(qdb::date_serial(2000, 1, 2));
  const qdb::MbfReal jan10 = qdb::date_to_mbf(qdb::date_serial(2000, 1, 10));
  stale.replace(53 + 25, 4, reinterpret_cast<const char*>(jan2.bytes), 4);
  stale.replace(2 * 53 + 29, 4, reinterpret_cast<const char*>(jan10.bytes), 4);
  write_bytes(dir / "MASTER", stale);

  const CliResult check = run_cli({"check", dir.string()});
  EXPECT_EQ(check.exit_code, 1);
  EXPECT_EQ(
      check.out,
      (dir / "MASTER").string() +
          " is damaged:\n"
          "  entry 1 (F1.DAT): the first date is 01/02/00, but the oldest quote is dated 01/03/00\n"
          "  entry 2 (F2.DAT): the last date is 01/10/00, but the newest quote is dated "
          "01/07/00\n");

  const CliResult repair = run_cli({"repair", dir.string()});
  EXPECT_EQ(repair.exit_code, 0) << repair.err;
  EXPECT_EQ(repair.out, "repaired " + (dir / "MASTER").string() + ": 2 dates corrected\nbackup: " +
                            (dir / "MASTER.repair1.bak").string() +
                            "\nalso kept as: " + (dir / "MASTER.bak").string() + "\n");
  EXPECT_EQ(read_bytes(dir / "MASTER"), sound);
  EXPECT_EQ(read_bytes(dir / "MASTER.repair1.bak"), stale);
  EXPECT_EQ(read_bytes(dir / "MASTER.bak"), stale);
  EXPECT_EQ(run_cli({"check", dir.string()}).out, "sound\n");
}

// The repair's backup outlives every later command that writes MASTER.BAK, whatever the case.
TEST(RepairBackup, OutlivesLaterMasterBackups) {
  TempDir temp;
  const fs::path dir = temp.path() / "P";
  make_portfolio(dir, weekly({"AAA", "BBB"}));
  std::string damaged = read_bytes(dir / "MASTER");
  damaged[0] = 7;
  write_bytes(dir / "MASTER", damaged);
  const CliResult repair = run_cli({"repair", dir.string()});
  ASSERT_EQ(repair.exit_code, 0) << repair.err;
  EXPECT_NE(repair.out.find("backup: " + (dir / "MASTER.repair1.bak").string() + "\n"),
            std::string::npos)
      << repair.out;
  EXPECT_EQ(run_cli({"rename-symbol", dir.string(), "AAA", "ZZZ"}).exit_code, 0);
  EXPECT_EQ(run_cli({"delete-quote", dir.string(), "BBB", "01/07/00"}).exit_code, 0);
  EXPECT_EQ(run_cli({"rename-symbol", dir.string(), "ZZZ", "YYY"}).exit_code, 0);
  EXPECT_EQ(read_bytes(dir / "MASTER.repair1.bak"), damaged);
  EXPECT_EQ(symbols_of(dir), Words({"YYY:1", "BBB:2"}));
}

// A rewritten file keeps its permission bits, and its owner and group where the tests may
// give files away (as root).
TEST(Attributes, ModeAndOwnerSurviveEveryRewrite) {
  const bool root = ::geteuid() == 0;
  struct Case {
    Words command;
    const char* file;
  };
  const Case cases[] = {
      {{"split", "DIR", "AAA", "01/05/00", "2", "1"}, "F1.DAT"},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "F1.DAT"},
      {{"delete-quote", "DIR", "AAA", "01/03/00"}, "MASTER"},
      {{"rename-symbol", "DIR", "AAA", "ZZZ"}, "MASTER"},
      {{"delete-symbol", "DIR", "BBB"}, "MASTER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.command) + " " + c.file);
    TempDir temp;
    const fs::path dir = temp.path() / "P";
    make_portfolio(dir, weekly({"AAA", "BBB"}));
    const fs::path file = dir / c.file;
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    if (root) {
      ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
    }
    const std::string before = read_bytes(file);
    const CliResult result = run_cli(with_dir(c.command, dir, dir));
    ASSERT_EQ(result.exit_code, 0) << result.err;
    EXPECT_NE(read_bytes(file), before);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
      EXPECT_EQ(st.st_uid, 4321u);
      EXPECT_EQ(st.st_gid, 8765u);
    }
  }
}

// Runs dorvane-cli with its standard output on a full disk (/dev/full).
CliResult run_to_full_disk(const Words& args) {
  TempDir capture;
  std::string command = "'" + std::string(DORVANE_CLI_PATH) + "'";
  for (const std::string& word : args) command += " '" + word + "'";
  const fs::path err = capture.path() / "err";
  command += " </dev/null >/dev/full 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  CliResult result;
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.err = read_bytes(err);
  return result;
}

// Output that can't be written is a failure of every command that writes some, said on
// standard error.
TEST(Output, ACommandWhoseOutputCannotBeWrittenFails) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  TempDir temp;
  const fs::path dir = temp.path() / "P";
  make_portfolio(dir, weekly({"AAA", "BBB"}));
  const Words commands[] = {
      {"symbols", "DIR"},       {"symbols", "DIR", "--json"},
      {"facts", "DIR", "AAA"},  {"check", "DIR", "--json"},
      {"portfolios", "ROOT"},   {"split-search", "DIR", "--json"},
      {"quotes", "DIR", "AAA"}, {"--version"},
  };
  for (const Words& command : commands) {
    SCOPED_TRACE(::testing::PrintToString(command));
    Words words = with_dir(command, dir, dir);
    for (std::string& word : words)
      if (word == "ROOT") word = temp.path().string();
    const CliResult result = run_to_full_disk(words);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("the output could not be written"), std::string::npos) << result.err;
  }
}

// export without --force leaves whatever entry holds the name: a FIFO, a dangling link, a file
// the user can't read. Whether one exists is told without opening or following it.
TEST(ExportTarget, AnyEntryUnderTheNameIsKeptWithoutForce) {
  TempDir temp;
  const fs::path dir = temp.path() / "P", target = temp.path() / "out.txt";
  make_portfolio(dir, weekly({"AAA"}));
  const std::pair<const char*, std::function<void()>> plants[] = {
      {"fifo", [&] { ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0); }},
      {"dangling link", [&] { fs::create_symlink(temp.path() / "nowhere", target); }},
      {"unreadable file",
       [&] {
         write_bytes(target, "keep me");
         fs::permissions(target, fs::perms::none);
       }},
  };
  for (const auto& [what, plant] : plants) {
    SCOPED_TRACE(what);
    fs::remove(target);
    plant();
    const auto type = fs::symlink_status(target).type();
    const CliResult result = run_cli({"export", dir.string(), "AAA", target.string()});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("This file already exists"), std::string::npos) << result.err;
    EXPECT_EQ(fs::symlink_status(target).type(), type);
  }
  fs::remove(target);
}

// An index file whose header counts fewer entries than it holds is never rewritten (the
// entries past the count would be lost): the command refuses and points to check and repair.
TEST(LyingIndex, AnXmasterWhoseCountsDisagreeIsNotRewritten) {
  TempDir temp;
  const fs::path dir = temp.path() / "P", other = temp.path() / "O";
  std::vector<testing_support::SymbolFixture> symbols = weekly({"AAA"});
  for (int n = 256; n < 267; ++n)
    symbols.push_back({n, "X" + std::to_string(n), "X ISSUE", week()});
  make_portfolio(dir, symbols);
  make_portfolio(other, weekly({"CCC"}));
  std::string master = read_bytes(dir / "MASTER");
  master[2] = static_cast<char>(255);  // the second counter: no number left below 256
  write_bytes(dir / "MASTER", master);
  std::string xmaster = read_bytes(dir / "XMASTER");
  ASSERT_EQ(xmaster.size(), 12u * 150);
  xmaster[10] = xmaster[14] = 5;
  write_bytes(dir / "XMASTER", xmaster);
  const Words commands[] = {
      {"copy-symbol", "OTHER", "CCC", "DIR"},
      {"rename-symbol", "DIR", "X260", "Y260"},
  };
  for (const Words& command : commands) {
    SCOPED_TRACE(::testing::PrintToString(command));
    const CliResult result = run_cli(with_dir(command, dir, other));
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_NE(result.err.find("XMASTER counts 5 entries but holds 11"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Check and repair the portfolio first."), std::string::npos);
    EXPECT_EQ(read_bytes(dir / "XMASTER"), xmaster);
    EXPECT_EQ(read_bytes(dir / "MASTER"), master);
    EXPECT_FALSE(fs::exists(dir / "F267.MWD"));
  }
}

// An EMASTER or XMASTER that can't be read as one keeps every symbol command from the
// portfolio: check reports it, and repair rebuilds it from the MASTER, keeping the damaged file.
TEST(LyingIndex, CheckReportsAnUnreadableIndexFileAndRepairRebuildsIt) {
  struct Case {
    const char* file;
    std::function<std::string(std::string)> damage;
    const char* problem;
  };
  const Case cases[] = {
      {"EMASTER", [](std::string) { return std::string(100, 'e'); },
       "EMASTER is not an index file of 192-byte records"},
      {"XMASTER",
       [](std::string bytes) {
         bytes[2] = bytes[3] = 0;
         return bytes;
       },
       "XMASTER is not an XMASTER file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TempDir temp;
    const fs::path dir = temp.path() / "P";
    std::vector<testing_support::SymbolFixture> symbols = weekly({"AAA", "BBB"});
    symbols.push_back({256, "XXX", "X ISSUE", week()});
    make_portfolio(dir, symbols);
    const std::string damaged = c.damage(fs::exists(dir / c.file) ? read_bytes(dir / c.file) : "");
    write_bytes(dir / c.file, damaged);
    ASSERT_NE(run_cli({"rename-symbol", dir.string(), "AAA", "ZZZ"}).exit_code, 0);

    const CliResult check = run_cli({"check", dir.string()});
    EXPECT_EQ(check.exit_code, 1);
    EXPECT_NE(check.out.find(c.problem), std::string::npos) << check.out;
    const CliResult repair = run_cli({"repair", dir.string()});
    EXPECT_EQ(repair.exit_code, 0) << repair.err;
    EXPECT_EQ(read_bytes(dir / (std::string(c.file) + ".bak")), damaged);
    EXPECT_EQ(run_cli({"check", dir.string()}).out, "sound\n");
    EXPECT_EQ(run_cli({"rename-symbol", dir.string(), "AAA", "ZZZ"}).exit_code, 0);
    EXPECT_EQ(run_cli({"quotes", dir.string(), "XXX"}).exit_code, 0);
  }
}

}  // namespace
