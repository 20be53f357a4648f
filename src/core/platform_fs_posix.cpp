// The discovery walk's directory listing on POSIX hosts: one open, one fstat and one pass of
// readdir per directory, entry types from the listing (d_type), and the file-system type
// examined only where the walk crosses onto another device.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

#if defined(__linux__)
#include <sys/vfs.h>
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__)
#include <sys/mount.h>
#include <sys/param.h>
#endif

#include "core/platform_fs.h"
#include "qdb/file_system.h"

extern char** environ;  // the environment a spawned program inherits

namespace core::platform {
namespace {

bool starts_with_dir(std::string_view path, std::string_view dir) {
  if (path.substr(0, dir.size()) != dir) return false;
  return path.size() == dir.size() || path[dir.size()] == '/';
}

#if defined(__linux__)
// Kernel file systems that hold process, kernel and device tables, never user files. Walking
// them is slow at best (/proc lists every process and loops through its links) and can block
// or have side effects at worst.
bool is_kernel_table_fs(unsigned long type) {
  switch (type) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x1cd1:      // devpts
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x6165676c:  // pstore
    case 0xcafe4a11:  // bpf
    case 0x62656570:  // configfs
    case 0x65735543:  // fusectl
    case 0x19800202:  // mqueue
    case 0x958458f6:  // hugetlbfs
    case 0x0187:      // autofs (entering would trigger mounts)
    case 0x42494e4d:  // binfmt_misc
    case 0xde5e81e4:  // efivarfs
    case 0xf97cff8c:  // selinuxfs
    case 0x43415d53:  // smackfs
    case 0x6e736673:  // nsfs
    case 0x67596969:  // rpc_pipefs
    case 0x6e667364:  // nfsd
    case 0x50495045:  // pipefs
    case 0x534f434b:  // sockfs
    case 0x42494e4e:  // anon inodes
      return true;
    default:
      return false;
  }
}

// Memory file systems: /dev (devtmpfs reports itself as tmpfs) and /run are among them, but
// so is /tmp, which may well hold user files. They count as virtual only on the system's
// device and runtime trees.
bool is_memory_fs(unsigned long type) {
  return type == 0x01021994 /* tmpfs, devtmpfs */ || type == 0x858458f6 /* ramfs */;
}

bool is_virtual(int fd, const std::string& dir) {
  struct statfs info;
  if (fstatfs(fd, &info) != 0) return false;
  const auto type = static_cast<unsigned long>(info.f_type);
  if (is_kernel_table_fs(type)) return true;
  return is_memory_fs(type) && (starts_with_dir(dir, "/dev") || starts_with_dir(dir, "/run"));
}
#elif defined(__APPLE__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__)
bool is_virtual(int fd, const std::string&) {
  struct statfs info;
  if (fstatfs(fd, &info) != 0) return false;
  const std::string_view type = info.f_fstypename;
  return type == "devfs" || type == "procfs" || type == "linprocfs" || type == "linsysfs" ||
         type == "fdescfs" || type == "kernfs";
}
#else
bool is_virtual(int, const std::string&) { return false; }
#endif

}  // namespace

bool is_separator(char c) { return c == '/'; }

char separator() { return '/'; }

char fold_name_char(char c) { return c; }

void trim_drive_root(std::string&) {}

std::vector<std::string> fixed_roots() { return {"/"}; }

std::optional<std::string> home_directory() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] != '/') return std::nullopt;
  return std::string(home);
}

std::string mounts_table() {
  std::string text;
  auto file = qdb::file_system().open_read("/proc/self/mounts");
  if (!file) return text;
  // The size of a /proc file reads as 0, so read until the reader runs dry.
  std::array<char, 4096> buffer{};
  for (;;) {
    const std::size_t n = file->read(buffer.data(), buffer.size());
    if (n == 0) break;
    text.append(buffer.data(), n);
    if (text.size() > (16u << 20)) break;  // no sane mounts table is this large
  }
  return text;
}

WalkOpen list_for_walk(const std::string& dir, std::optional<std::uint64_t> parent_device,
                       WalkListing& out) {
  out.entries.clear();
  int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  // Below the root a symbolic link is never entered, even if it was swapped in after listing.
  if (parent_device) flags |= O_NOFOLLOW;
  const int fd = ::open(dir.c_str(), flags);
  if (fd < 0) return WalkOpen::kUnreadable;

  struct stat status;
  if (::fstat(fd, &status) != 0) {
    ::close(fd);
    return WalkOpen::kUnreadable;
  }
  out.device = static_cast<std::uint64_t>(status.st_dev);
  if ((!parent_device || *parent_device != out.device) && is_virtual(fd, dir)) {
    ::close(fd);
    return WalkOpen::kVirtual;
  }

  DIR* stream = ::fdopendir(fd);
  if (stream == nullptr) {
    ::close(fd);
    return WalkOpen::kUnreadable;
  }
  for (;;) {
    errno = 0;
    const dirent* item = ::readdir(stream);
    if (item == nullptr) break;
    const char* name = item->d_name;
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
    WalkEntry entry;
    entry.name = name;
    unsigned char type = item->d_type;
    if (type == DT_UNKNOWN) {
      // Some file systems leave the type out of the listing; only then ask for it.
      struct stat entry_status;
      if (::fstatat(::dirfd(stream), name, &entry_status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(entry_status.st_mode))
          type = DT_DIR;
        else if (S_ISLNK(entry_status.st_mode))
          type = DT_LNK;
        else
          type = DT_REG;
      }
    }
    entry.is_directory = type == DT_DIR;
    entry.is_symlink = type == DT_LNK;
    out.entries.push_back(std::move(entry));
  }
  const bool failed = errno != 0;
  ::closedir(stream);
  if (failed) {
    out.entries.clear();
    return WalkOpen::kUnreadable;
  }
  return WalkOpen::kListed;
}

bool link_leads_to_non_directory(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return false;
  return !S_ISDIR(status.st_mode);
}

std::optional<std::string> own_executable() {
#if defined(__linux__)
  std::string path(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return std::nullopt;
  path.resize(static_cast<std::size_t>(length));
  return path;
#else
  return std::nullopt;
#endif
}

std::string program_file_name(const std::string& name) { return name; }

bool is_runnable_file(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

ProgramRun run_program(const std::string& program, const std::vector<std::string>& args) {
  ProgramRun run;
  std::vector<std::string> words;
  words.reserve(args.size() + 1);
  words.push_back(program);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  // posix_spawnp looks a bare name up on the PATH and runs a path as it is.
  const int failed =
      ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (failed != 0) {
    run.error = std::strerror(failed);
    return run;
  }
  run.started = true;
  int status = 0;
  pid_t waited = 0;
  do {
    waited = ::waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) {
    run.error = std::strerror(errno);
    return run;
  }
  if (WIFEXITED(status))
    run.exit_code = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    run.exit_code = 128 + WTERMSIG(status);
  return run;
}

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

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
