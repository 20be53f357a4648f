#include "attack/attack_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testing_support::read_bytes;

namespace attack {
namespace {

// Far above any command's time on small portfolios; only a hang comes near it.
constexpr auto kTimeLimit = std::chrono::seconds(20);

std::string env(const char* name, const std::string& value) { return name + ("=" + value); }

}  // namespace

Outcome run(const Words& args, const fs::path& scratch, const Cue& cue) {
  const fs::path state_path = scratch / "state", log_path = scratch / "calls",
                 out_path = cue.out.empty() ? scratch / "out" : fs::path(cue.out),
                 err_path = scratch / "err";
  {
    const AttackState empty;
    testing_support::write_bytes(state_path,
                                 std::string(reinterpret_cast<const char*>(&empty), sizeof empty));
  }
  fs::remove(log_path);
  std::vector<std::string> environment = {
      env("LD_PRELOAD", DORVANE_ATTACK_LIBRARY), env("DORVANE_ATTACK_STATE", state_path.string()),
      env("DORVANE_ATTACK_FAIL_AT", std::to_string(cue.fail_at)),
      env("DORVANE_ATTACK_KILL_AT", std::to_string(cue.kill_at)),
      env("DORVANE_ATTACK_ERRNO", cue.no_space ? "ENOSPC" : "EIO"),
      // A symbol's deleted files go to a desktop trash of the run's own, beside its state.
      env("XDG_DATA_HOME", (scratch / "data-home").string()), "LC_ALL=C", "PATH=/usr/bin:/bin"};
  if (cue.log) environment.push_back(env("DORVANE_ATTACK_LOG", log_path.string()));
  std::vector<std::string> words = {DORVANE_ATTACK_CLI};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv, envp;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t child = ::fork();
  if (child == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  Outcome outcome;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
  for (auto pause = std::chrono::microseconds(200);;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      outcome.timed_out = true;
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      break;
    }
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(5)) pause *= 2;
  }
  if (WIFEXITED(status)) outcome.exit_code = WEXITSTATUS(status);
  outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
  outcome.err = read_bytes(err_path);
  if (cue.log) outcome.calls_log = read_bytes(log_path);
  const std::string state = read_bytes(state_path);
  if (state.size() >= sizeof(AttackState))
    std::memcpy(&outcome.state, state.data(), sizeof(AttackState));
  return outcome;
}

Tree picture(const fs::path& root) {
  Tree tree;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const std::string name = it->path().lexically_relative(root).generic_string();
    const fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status))
      tree[name] = "link:" + fs::read_symlink(it->path()).string();
    else if (fs::is_directory(status))
      tree[name] = "dir";
    else if (fs::is_regular_file(status))
      tree[name] = "file:" + read_bytes(it->path());
    else if (fs::is_fifo(status))
      tree[name] = "fifo";
    else
      tree[name] = "other";
  }
  if (ec) tree["(unlistable)"] = ec.message();
  return tree;
}

bool is_temporary(const std::string& path) {
  const std::string name = fs::path(path).filename().string();
  for (const char* mark : {".NEW", ".~NU", ".tmp", ".~RS"})
    if (name.find(mark) != std::string::npos) return true;
  return false;
}

bool is_backup(const std::string& path) {
  return !is_temporary(path) && (path.ends_with(".BAK") || path.ends_with(".bak"));
}

Tree without_temporaries(const Tree& tree) {
  Tree kept;
  for (const auto& [name, what] : tree)
    if (!is_temporary(name)) kept.emplace(name, what);
  return kept;
}

std::string difference(const Tree& a, const Tree& b) {
  std::string text;
  for (const auto& [name, what] : a) {
    const auto other = b.find(name);
    if (other == b.end())
      text += " -" + name;
    else if (other->second != what)
      text += " ~" + name;
  }
  for (const auto& [name, what] : b)
    if (a.find(name) == a.end()) text += " +" + name;
  return text.empty() ? " (none)" : text;
}

}  // namespace attack
