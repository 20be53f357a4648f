// dorvane-cli attacked from outside the process: every changing command on copies of small
// portfolios, with each of its file calls failed in turn (an I/O error or a full disk), killed
// at seeded random points, with links and FIFOs planted under the names it writes, and with
// its standard output on a full disk. Whatever happens, the portfolio is byte for byte as it
// was or as a clean run leaves it, and the exit status says which.
//
// DORVANE_ATTACK_SEED (environment) changes the kill points; a failure message names the seed.
// DORVANE_ATTACK_KEEP names a directory where the work tree of each failed case is kept.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "attack/attack_run.h"
#include "attack/known_failures.h"
#include "support/portfolio_builder.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using attack::Cue;
using attack::Outcome;
using attack::Tree;
using attack::Words;
using testing_support::TempDir;

namespace {

// Every position up to this is failed; beyond it, about kSampledPositions more are spread
// over the rest, which keeps the suite within its time on a small machine.
constexpr unsigned long long kEveryPosition = 200;
constexpr unsigned long long kSampledPositions = 60;
constexpr int kKillPoints = 10;
// Failure messages shown per test at most; the count of the others follows.
constexpr int kShown = 12;

struct Command {
  const char* id;  // the test's name
  Words args;      // "@X" stands for the directory X of the work tree
};

std::ostream& operator<<(std::ostream& out, const Command& c) { return out << c.id; }

// The work tree: P holds AAA (F1, with a layout file), BBB (F2) and XXX (F256, in the
// XMASTER); Q is a new portfolio (MASTER and EMASTER) given a copy of AAA; R is P with
// a MASTER whose count is wrong; IN holds text files to import; OUT is empty. AAA has no
// quote on January 5, 2000.
const Command kCommands[] = {
    {"EditQuote", {"edit-quote", "@P", "AAA", "01/04/00", "--close", "99"}},
    {"AddQuote", {"add-quote", "@P", "AAA", "01/06/00"}},
    {"DeleteNewestQuote", {"delete-quote", "@P", "AAA", "01/14/00"}},
    {"DeleteXmasterQuote", {"delete-quote", "@P", "XXX", "01/06/00"}},
    {"Split", {"split", "@P", "BBB", "01/05/00", "2", "1"}},
    {"Adjust", {"adjust", "@P", "BBB", "01/04/00", "01/05/00", "--price", "2"}},
    {"RenameEmasterSymbol", {"rename-symbol", "@Q", "AAA", "ZZZ"}},
    {"RenameXmasterSymbol", {"rename-symbol", "@P", "XXX", "XXZ"}},
    {"DeleteEmasterSymbol", {"delete-symbol", "@Q", "AAA"}},
    {"DeleteXmasterSymbol", {"delete-symbol", "@P", "XXX"}},
    {"MoveSymbol", {"move-symbol", "@P", "BBB", "@Q"}},
    {"CopyXmasterSymbol", {"copy-symbol", "@P", "XXX", "@Q"}},
    {"Repair", {"repair", "@R"}},
    {"Export", {"export", "@P", "AAA", "@OUT/aaa.txt"}},
    {"ExportAll", {"export-all", "@P", "@OUT/all"}},
    {"ImportNewSymbol", {"import", "@Q", "@IN/NEWS.txt"}},
    {"ImportReplace", {"import", "@P", "@IN/AAA.txt", "--replace"}},
    {"NewPortfolio", {"new-portfolio", "@OUT/fresh"}},
    {"SplitSearchOutput", {"split-search", "@P", "--output", "@OUT/splits.txt"}},
};

Words in_tree(const Words& args, const fs::path& root) {
  Words out;
  for (const std::string& word : args)
    out.push_back(word.starts_with("@") ? (root / word.substr(1)).string() : word);
  return out;
}

void build_work_tree(const fs::path& root, const fs::path& scratch) {
  using testing_support::bars_from;
  std::vector<qdb::QuoteBar> alpha = bars_from(10, 14);
  alpha.erase(alpha.begin() + 2);  // no quote on January 5, for add-quote to fill
  testing_support::make_portfolio(root / "P", {{1, "AAA", "ALPHA", alpha},
                                               {2, "BBB", "BRAVO", bars_from(20), 28, false},
                                               {256, "XXX", "XRAY", bars_from(30)}});
  for (const Words& setup :
       {Words{"new-portfolio", "@Q"}, Words{"copy-symbol", "@P", "AAA", "@Q"}}) {
    const Outcome made = attack::run(in_tree(setup, root), scratch);
    ASSERT_EQ(made.exit_code, 0) << made.err;
  }
  testing_support::copy_tree(root / "P", root / "R");
  std::string master = testing_support::read_bytes(root / "R" / "MASTER");
  master[0] = 7;  // a count the file does not hold
  testing_support::write_bytes(root / "R" / "MASTER", master);
  fs::create_directories(root / "IN");
  const std::string header = "Date,Open,High,Low,Close,Volume\n";
  testing_support::write_bytes(root / "IN" / "NEWS.txt", header +
                                                             "2000-01-03,1,2,0.5,1.5,100\n"
                                                             "2000-01-04,1.5,2.5,1,2,200\n");
  testing_support::write_bytes(root / "IN" / "AAA.txt", header +
                                                            "2000-01-05,7,8,6,7.5,700\n"
                                                            "2000-01-17,8,9,7,8.5,800\n");
  fs::create_directories(root / "OUT");
}

// The work tree every run starts from, built once.
const fs::path& template_tree() {
  static TempDir dir;
  static const fs::path root = [] {
    const fs::path made = dir.path() / "root";
    build_work_tree(made, dir.path());
    return made;
  }();
  return root;
}

std::string call_of(const std::string& what) { return what.substr(0, what.find(' ')); }

bool is_write_call(const std::string& call) {
  return call == "write" || call == "fwrite" || call == "fflush" || call == "fsync" ||
         call == "fdatasync" || call == "close" || call == "fclose";
}

// A failure that comes after the change is in place: the directory's sync, or standard
// output. The change may stay; the command must say it failed. (Standard error has nowhere
// to say it, and closing a directory after its sync loses nothing.)
bool comes_late(const AttackState& state) {
  const std::string call = call_of(state.failed_what);
  if ((state.failed_flags & kAttackStandardOutput) != 0) return is_write_call(call);
  return (state.failed_flags & kAttackDirectory) != 0 && (call == "fsync" || call == "fdatasync");
}

class Attack : public ::testing::TestWithParam<Command> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(template_tree().empty());
    m_before = attack::picture(template_tree());
    fresh();
    const Outcome clean = run({.log = true});
    ASSERT_EQ(clean.exit_code, 0) << clean.err;
    m_after = attack::picture(root());
    m_calls = clean.state.calls;
    m_calls_log = clean.calls_log;
    m_clean_out = testing_support::read_bytes(m_scratch.path() / "out");
    ASSERT_NE(m_before, m_after) << "the command changed nothing";
    ASSERT_GT(m_calls, 0u) << "the failing library was not loaded";
  }

  fs::path root() const { return m_scratch.path() / "root"; }

  static bool empty_directory(const Tree& tree, const std::string& name) {
    const auto next = tree.upper_bound(name);
    return next == tree.end() || !next->first.starts_with(name + "/");
  }

  // Whether a tree is the one before the command. A directory the command made for its
  // output and left empty is allowed to stay, as it is when the command is refused. A backup the
  // command kept of a file before it failed is allowed to stay: it holds the file as it still is,
  // as it does after a clean run.
  bool as_before(const Tree& now) const {
    Tree seen = now;
    for (const auto& [name, what] : now) {
      if (what == "dir" && !m_before.contains(name) && empty_directory(now, name)) {
        seen.erase(name);
        continue;
      }
      if (!attack::is_backup(name) || !m_after.contains(name) || m_after.at(name) != what) continue;
      if (m_before.contains(name))
        seen[name] = m_before.at(name);
      else
        seen.erase(name);
    }
    return seen == m_before;
  }
  const char* id() const { return GetParam().id; }
  Words args() const { return in_tree(GetParam().args, root()); }

  // The work tree as it was, in place of whatever a run left.
  void fresh() {
    fs::remove_all(root());
    testing_support::copy_tree(template_tree(), root());
  }
  Outcome run(const Cue& cue) { return attack::run(args(), m_scratch.path(), cue); }

  // Notes a failed case: fails the test unless the case is known to fail.
  void failed(const std::string& test, const std::string& detail, const std::string& message) {
    const std::string reason = attack::known_failure(test, GetParam().args[0], detail);
    if (!reason.empty()) {
      m_known.insert(reason);
      return;
    }
    if (++m_failures <= kShown) ADD_FAILURE() << message;
    // DORVANE_ATTACK_KEEP names a directory that keeps the work tree of each failed case.
    if (const char* keep = std::getenv("DORVANE_ATTACK_KEEP")) {
      const fs::path kept =
          fs::path(keep) / (std::string(id()) + "-" + test + "-" + std::to_string(m_failures));
      fs::remove_all(kept);
      testing_support::copy_tree(root(), kept);
    }
  }
  void TearDown() override {
    if (m_failures > kShown) ADD_FAILURE() << (m_failures - kShown) << " more failed cases";
    for (const std::string& reason : m_known) std::cout << "[ known    ] " << reason << "\n";
  }

  // Whether every portfolio that changed between the two pictures passes check: a command
  // that worked around a planted name (a new file number in place of one whose file name was
  // taken) did so soundly.
  bool portfolios_sound(const Tree& was, const Tree& now) {
    std::set<std::string> dirs;
    for (const std::string& name : {std::string("P"), std::string("Q"), std::string("R")})
      for (const auto& [path, what] : now)
        if (path.starts_with(name + "/") && (!was.contains(path) || was.at(path) != what))
          dirs.insert(name);
    for (const std::string& dir : dirs)
      if (attack::run({"check", (root() / dir).string()}, m_scratch.path()).exit_code != 0)
        return false;
    return true;
  }

  // The calls to fail. Of a run of like calls (the writes of one file, the entries of one
  // listing) the first and the last fail, which take the command down every path the others
  // would; of what remains, every call up to kEveryPosition, and beyond it about
  // kSampledPositions more spread over the rest.
  std::vector<unsigned long long> positions() const {
    std::vector<std::string> calls;
    std::istringstream lines(m_calls_log);
    for (std::string line; std::getline(lines, line);) calls.push_back(line.substr(line.find(' ')));
    std::vector<unsigned long long> picked;
    for (std::size_t i = 0; i < calls.size(); ++i) {
      const bool first = i == 0 || calls[i - 1] != calls[i];
      const bool last = i + 1 == calls.size() || calls[i + 1] != calls[i];
      if (first || last) picked.push_back(i + 1);
    }
    const auto count = static_cast<unsigned long long>(picked.size());
    const unsigned long long stride =
        std::max(1ULL, (count - std::min(count, kEveryPosition)) / kSampledPositions);
    std::vector<unsigned long long> positions;
    for (unsigned long long i = 0; i < count; i += i < kEveryPosition ? 1 : stride)
      positions.push_back(picked[i]);
    return positions;
  }

  // The data files (F<n>.DAT, .DOP, .MWD) of now that reference lacks: a symbol's files left
  // behind, in a portfolio whose index no longer lists them, or does not yet.
  static std::vector<std::string> extra_data_files(const Tree& reference, const Tree& now) {
    static const std::regex data_file(R"((^|.*/)F[0-9]+\.(DAT|DOP|MWD)$)");
    std::vector<std::string> extra;
    for (const auto& [name, what] : now)
      if (!reference.contains(name) && std::regex_match(name, data_file)) extra.push_back(name);
    return extra;
  }
  static Tree without(Tree tree, const std::vector<std::string>& names) {
    for (const std::string& name : names) tree.erase(name);
    return tree;
  }
  // The data files left behind when now is the tree before or after but for them; empty when
  // it is not.
  std::vector<std::string> orphans_of(const Tree& now) const {
    for (const Tree* reference : {&m_after, &m_before}) {
      const std::vector<std::string> extra = extra_data_files(*reference, now);
      if (extra.empty()) continue;
      const Tree rest = without(now, extra);
      if (rest == m_after || as_before(rest)) return extra;
    }
    return {};
  }

  // Whether now is the tree before or after but for data files the command could not remove
  // and names in its failure, as a delete or move does when a removal fails after the index
  // changed.
  bool left_behind_and_named(const Tree& now, const Outcome& o) const {
    const std::vector<std::string> orphans = orphans_of(now);
    if (orphans.empty() || o.exit_code == 0) return false;
    for (const std::string& orphan : orphans)
      if (o.err.find(fs::path(orphan).filename().string()) == std::string::npos) return false;
    return true;
  }

  // When each directory of the work tree is as before or as after, but not all the same way:
  // which is which ("P before, Q after"); else empty.
  std::string mixed_state(const Tree& now) const {
    const auto part = [](const Tree& tree, const std::string& dir) {
      Tree kept;
      for (const auto& [name, what] : tree)
        if (name == dir || name.starts_with(dir + "/")) kept.emplace(name, what);
      return kept;
    };
    std::string text;
    for (const auto& [dir, what] : m_before) {
      if (dir.find('/') != std::string::npos) continue;
      const Tree mine = part(now, dir), was = part(m_before, dir), will = part(m_after, dir);
      if (was == will) continue;
      if (mine != was && mine != will) return {};
      text += (text.empty() ? "" : ", ") + dir + (mine == was ? " before" : " after");
    }
    const bool mixed =
        text.find("before") != std::string::npos && text.find("after") != std::string::npos;
    return mixed ? text : std::string();
  }

  // Whether now is the tree after but for output files of symbols the command named as not
  // exported, failing: the bulk export's way with a symbol it can't read.
  bool skipped_and_named(const Tree& now, const Outcome& o) const {
    if (o.exit_code == 0 || o.err.find("so it was not exported") == std::string::npos) return false;
    for (const auto& [name, what] : now)
      if (!m_after.contains(name) || m_after.at(name) != what) return false;
    return true;
  }

  // The names a clean run wrote or moved that the work tree did not hold: its temporary
  // files, its backups and its new files.
  std::vector<std::string> written_names() const {
    std::set<std::string> names;
    std::istringstream lines(m_calls_log);
    const std::string prefix = root().string() + "/";
    for (std::string line; std::getline(lines, line);) {
      std::istringstream words(line);
      std::string number, call;
      words >> number >> call;
      std::string rest;
      std::getline(words, rest);
      const bool opened = call == "open" || call == "openat" || call == "fopen";
      if (!(call == "rename" || (opened && rest.ends_with(" (writing)")))) continue;
      if (opened) rest.resize(rest.size() - std::string(" (writing)").size());
      for (std::size_t at = rest.find(prefix); at != std::string::npos;
           at = rest.find(prefix, at + 1)) {
        std::string name = rest.substr(at + prefix.size());
        name = name.substr(0, name.find(" -> "));
        while (name.ends_with("/")) name.pop_back();
        if (!name.empty() && !m_before.contains(name) &&
            !(m_after.contains(name) && m_after.at(name) == "dir"))
          names.insert(name);
      }
    }
    return {names.begin(), names.end()};
  }

  TempDir m_scratch;
  Tree m_before, m_after;
  unsigned long long m_calls = 0;
  std::string m_calls_log, m_clean_out;
  int m_failures = 0;
  std::set<std::string> m_known;  // the reasons of the known failures met
};

// Each call the command makes fails in turn, with an I/O error or a full disk.
TEST_P(Attack, EveryFailedCallLeavesThePortfolioBeforeOrAfter) {
  for (const unsigned long long n : positions()) {
    fresh();
    const Outcome o = run({.fail_at = n, .no_space = n % 2 == 0});
    const Tree now = attack::picture(root());
    const bool hit = o.state.failed_call == n;
    const bool late = hit && comes_late(o.state);
    // The known failures are told apart by the kind of call failed.
    const std::string what =
        !hit   ? "(no call failed)"
        : late ? ((o.state.failed_flags & kAttackStandardOutput) != 0 ? "standard output: "
                                                                      : "directory sync: ") +
                     std::string(o.state.failed_what)
               : std::string(o.state.failed_what);
    std::string problem;
    if (o.timed_out)
      problem = "the command did not end";
    else if (o.exit_code < 0)
      problem = "the command crashed";
    else if (now == m_after && o.exit_code == 0 && hit &&
             (o.state.failed_flags & kAttackWrittenFile) != 0 &&
             (o.state.failed_flags & (kAttackStandardOutput | kAttackStandardError)) == 0 &&
             is_write_call(call_of(what)))
      problem = "a failed write of a file was reported as success";
    else if (now == m_after && o.exit_code == 0 && late)
      problem = "the change is in place, but a failure after it was not reported";
    else if (now == m_after && o.exit_code != 0 && !late)
      problem = "the change is in place, but the exit status says it failed";
    else if (as_before(now) && o.exit_code == 0)
      problem = "nothing changed, but the exit status says it worked";
    else if (now != m_after && !as_before(now) && !left_behind_and_named(now, o) &&
             !skipped_and_named(now, o))
      problem = "the portfolio is neither as before nor as after: against before" +
                attack::difference(m_before, now) + "; against after" +
                attack::difference(m_after, now);
    if (problem.empty()) continue;
    failed("fail", what + ": " + problem,
           "failed call " + std::to_string(n) + " of " + std::to_string(m_calls) + " (" + what +
               ", " + (n % 2 == 0 ? "ENOSPC" : "EIO") + "): " + problem + "\n  exit " +
               std::to_string(o.exit_code) + ", stderr: " + o.err);
  }
}

// The command killed before a call picked at random: the tree is as before or as after, but
// for temporary files, which the same command run again passes over.
TEST_P(Attack, AKillAtAnyPointLeavesThePortfolioBeforeOrAfter) {
  unsigned seed = 20261208;
  if (const char* given = std::getenv("DORVANE_ATTACK_SEED")) seed = std::stoul(given);
  std::seed_seq sequence{seed, static_cast<unsigned>(std::hash<std::string>{}(id()))};
  std::mt19937 random(sequence);
  std::uniform_int_distribution<unsigned long long> pick(1, m_calls);
  for (int point = 0; point < kKillPoints; ++point) {
    const unsigned long long n = pick(random);
    fresh();
    const Outcome o = run({.kill_at = n});
    const std::string where = "killed before call " + std::to_string(n) + " of " +
                              std::to_string(m_calls) + " (seed " + std::to_string(seed) + ")";
    if (!o.killed) {
      failed("kill", where,
             where + ": the command was not killed, exit " + std::to_string(o.exit_code) + " " +
                 o.err);
      continue;
    }
    const Tree left = attack::without_temporaries(attack::picture(root()));
    if (left == m_after) continue;
    if (const std::vector<std::string> orphans = orphans_of(left); !orphans.empty()) {
      failed(
          "kill", "orphaned data files",
          where + ": the symbol's data files are left behind:" + ::testing::PrintToString(orphans));
      continue;
    }
    if (const std::string mixed = mixed_state(left); !mixed.empty()) {
      failed("kill", mixed,
             where + ": each portfolio is as before or as after, but not all alike: " + mixed);
      continue;
    }
    if (!as_before(left)) {
      failed("kill", where,
             where + ": the portfolio is neither as before nor as after: against before" +
                 attack::difference(m_before, left) + "; against after" +
                 attack::difference(m_after, left));
      continue;
    }
    // As before: the command run again works, whatever the killed run left behind.
    // A repair run again keeps a backup of its own, beside the killed run's.
    const Outcome again = run({});
    Tree then = attack::without_temporaries(attack::picture(root()));
    std::erase_if(then, [&](const auto& entry) {
      return attack::is_backup(entry.first) && !m_after.contains(entry.first);
    });
    if (again.exit_code != 0 || then != m_after)
      failed("kill", where,
             where + ": the command run again after it: exit " + std::to_string(again.exit_code) +
                 ", against after" + attack::difference(m_after, then) + "\n  " + again.err);
  }
}

// Links (to a file outside, and dangling) and FIFOs under every name the command writes that
// was not there: the command refuses, or works around them; it never writes through a link
// and never waits on a FIFO.
TEST_P(Attack, PlantedLinksAndFifosAreNeverWrittenThrough) {
  const fs::path outside = m_scratch.path() / "outside", nowhere = m_scratch.path() / "nowhere";
  const std::vector<std::string> names = written_names();
  ASSERT_FALSE(names.empty()) << m_calls_log;
  for (const std::string& name : names) {
    for (const char* kind : {"link", "dangling link", "FIFO"}) {
      fresh();
      testing_support::write_bytes(outside, "keep me");
      fs::remove(nowhere);
      const fs::path planted = root() / name;
      fs::create_directories(planted.parent_path());
      const std::string which = std::string(kind) == "FIFO" ? "FIFO" : "link";
      if (which == "FIFO")
        ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0) << planted;
      else
        fs::create_symlink(std::string(kind) == "link" ? outside : nowhere, planted);
      const Tree planted_before = attack::picture(root());
      const Outcome o = run({});
      const Tree now = attack::picture(root());
      std::string problem;
      if (o.timed_out)
        problem = "the command did not end";
      else if (o.exit_code < 0)
        problem = "the command crashed";
      else if (testing_support::read_bytes(outside) != "keep me" || fs::exists(nowhere))
        problem = "the command wrote through the link";
      else if (o.exit_code != 0 && now != planted_before)
        problem = "the command failed but changed the portfolio:" +
                  attack::difference(planted_before, now);
      else if (o.exit_code == 0) {
        Tree expected = m_after, got = now;
        const bool kept = got.contains(name) && got.at(name) == planted_before.at(name);
        const bool replaced =
            got.contains(name) && m_after.contains(name) && got.at(name) == m_after.at(name);
        expected.erase(name);
        got.erase(name);
        if (got != expected && !(kept && portfolios_sound(planted_before, now)))
          problem = "the command worked but left the portfolio other than a clean run does:" +
                    attack::difference(expected, got);
        else if (!kept && !replaced)
          problem = "the planted " + which + " is gone but not replaced by the new file";
      }
      // An export's file is replaced only with --force: anything under its name, even a link
      // to nowhere, makes the export refuse.
      const bool export_file = GetParam().args[0].starts_with("export") &&
                               name.starts_with("OUT/") && m_after.contains(name) &&
                               m_after.at(name) != "dir";
      if (problem.empty() && export_file && o.exit_code == 0)
        problem = "an existing output file was replaced without --force";
      if (!problem.empty())
        failed("planted", which + " " + name,
               std::string(kind) + " planted as " + name + ": " + problem + "\n  exit " +
                   std::to_string(o.exit_code) + ", stderr: " + o.err);
    }
  }
}

// Standard output on a full disk: a command that had something to say and could not say it
// exits non-zero.
TEST_P(Attack, LostOutputIsAFailure) {
  if (m_clean_out.empty()) GTEST_SKIP() << "the command prints nothing";
  fresh();
  const Outcome o = run({.out = "/dev/full"});
  const Tree now = attack::picture(root());
  if (o.exit_code == 0 || (now != m_after && !as_before(now)))
    failed(
        "output", "/dev/full",
        "standard output on /dev/full: exit " + std::to_string(o.exit_code) +
            (now != m_after && !as_before(now) ? ", the portfolio neither before nor after" : "") +
            ", stderr: " + o.err);
}

INSTANTIATE_TEST_SUITE_P(Commands, Attack, ::testing::ValuesIn(kCommands),
                         [](const ::testing::TestParamInfo<Command>& info) {
                           return std::string(info.param.id);
                         });

// The commands that only read, with standard output on a full disk, exit non-zero.
TEST(ReadCommands, LostOutputIsAFailure) {
  TempDir scratch;
  const fs::path root = scratch.path() / "root";
  testing_support::copy_tree(template_tree(), root);
  const Words commands[] = {{"symbols", "@P"},
                            {"symbols", "@P", "--json"},
                            {"facts", "@P", "AAA"},
                            {"check", "@P", "--json"},
                            {"check", "@P"},
                            {"portfolios", "@"},
                            {"split-search", "@P"},
                            {"quotes", "@P", "AAA"},
                            {"quotes", "@P", "AAA", "--json"},
                            {"export", "@P", "AAA", "-"}};
  for (const Words& command : commands) {
    const Words args = in_tree(command, root);
    const Outcome o = attack::run(args, scratch.path(), {.out = "/dev/full"});
    if (o.exit_code != 0) continue;
    const std::string detail = command[0] + (command.back() == "--json" ? " --json" : "");
    if (attack::known_failure("output", command[0], detail).empty())
      ADD_FAILURE() << ::testing::PrintToString(command)
                    << ": standard output on /dev/full, exit 0";
  }
}

}  // namespace
