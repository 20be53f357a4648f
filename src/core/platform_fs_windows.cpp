// Paths, roots and the discovery walk's directory listing on Windows. The listing goes
// through std::filesystem: it carries each entry's attributes, so no entry is examined on its
// own.
#include <windows.h>

#include <process.h>

#include <io.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/platform_fs.h"

namespace core::platform {

namespace fs = std::filesystem;

bool is_separator(char c) { return c == '/' || c == '\\'; }

char separator() { return '\\'; }

char fold_name_char(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  return c;
}

void trim_drive_root(std::string& text) {
  if (text.size() == 3 && text[1] == ':' && is_separator(text[2])) text.pop_back();
}

std::vector<std::string> fixed_roots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (drives & (1u << i)) roots.push_back(std::string(1, static_cast<char>('A' + i)) + ":\\");
  }
  return roots;
}

std::optional<std::string> home_directory() { return std::nullopt; }

std::string mounts_table() { return {}; }

WalkOpen list_for_walk(const std::string& dir, std::optional<std::uint64_t> parent_device,
                       WalkListing& out) {
  (void)parent_device;
  out.entries.clear();
  out.device = 0;
  // "C:" alone names the drive's current directory; the walk means its root.
  std::string where = dir;
  if (!where.empty() && where.back() == ':') where += '\\';
  std::error_code ec;
  fs::directory_iterator it(fs::path(where), ec);
  if (ec) return WalkOpen::kUnreadable;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    WalkEntry entry;
    entry.name = it->path().filename().string();
    std::error_code type_ec;
    entry.is_symlink = it->is_symlink(type_ec);
    entry.is_directory = !entry.is_symlink && it->is_directory(type_ec);
    out.entries.push_back(std::move(entry));
  }
  if (ec) {
    out.entries.clear();
    return WalkOpen::kUnreadable;
  }
  return WalkOpen::kListed;
}

bool link_leads_to_non_directory(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(fs::path(path), ec);
  return !ec && fs::exists(status) && !fs::is_directory(status);
}

std::optional<std::string> own_executable() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string program_file_name(const std::string& name) { return name + ".exe"; }

bool is_runnable_file(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(path), ec);
}

namespace {

// One word of a command line as the C runtime splits it again: quoted when it holds blanks or
// quotes, with the backslashes before a quote doubled.
std::string quoted_word(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"") == std::string::npos) return word;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : word) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace

ProgramRun run_program(const std::string& program, const std::vector<std::string>& args) {
  ProgramRun run;
  // _spawnvp passes the words joined by blanks: each is quoted so it arrives whole.
  std::vector<std::string> words;
  words.push_back(quoted_word(program));
  for (const std::string& arg : args) words.push_back(quoted_word(arg));
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  argv.push_back(nullptr);
  const intptr_t code = ::_spawnvp(_P_WAIT, program.c_str(), argv.data());
  if (code == -1) {
    run.error = std::strerror(errno);
    return run;
  }
  run.started = true;
  run.exit_code = static_cast<int>(code);
  return run;
}

bool stderr_is_terminal() { return ::_isatty(::_fileno(stderr)) != 0; }

namespace {
// Set from a signal handler: only a lock-free atomic may be touched there.
std::atomic<bool> g_stop_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
void on_stop_signal(int) { g_stop_requested.store(true); }
}  // namespace

const std::atomic<bool>& catch_stop_signals() {
  std::signal(SIGINT, on_stop_signal);
  std::signal(SIGTERM, on_stop_signal);
  return g_stop_requested;
}

}  // namespace core::platform
