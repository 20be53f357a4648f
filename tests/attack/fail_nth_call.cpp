// A library loaded ahead of the C library (LD_PRELOAD) into a dynamically linked dorvane-cli.
// It counts the program's calls that open, read, write, sync, rename, remove, list and close
// files, and on cue fails the Nth of them with an I/O error or a full disk, or ends the
// process there with SIGKILL. The attack driver uses it to fail every call of a command in
// turn, and to cut a command short at any point.
//
// Environment:
//   DORVANE_ATTACK_STATE   a file of at least sizeof(AttackState) bytes, shared with the
//                          driver: the count of calls, and which call was failed (the count
//                          outlives a killed process, as the file is mapped)
//   DORVANE_ATTACK_FAIL_AT the number (from 1) of the call to fail; absent or 0, none
//   DORVANE_ATTACK_ERRNO   "ENOSPC" fails it with a full disk; anything else with EIO
//   DORVANE_ATTACK_KILL_AT the number of the call before which the process kills itself
//   DORVANE_ATTACK_LOG     a file to which each counted call is appended, one line each
//
// stdio's own reads and writes happen inside the C library, out of reach of a preloaded
// library, so the stream calls the program makes (fopen, fread, fwrite, fflush, fclose) and
// the directory stream's readdir stand for the open, read, write, close and getdents64 they
// make inside.
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "attack/attack_state.h"

namespace {

struct Settings {
  bool ready = false;
  AttackState* state = nullptr;
  AttackState local;  // counts when no shared state was given
  unsigned long long fail_at = 0;
  unsigned long long kill_at = 0;
  int error = EIO;
  int log_fd = -1;
};

Settings& settings() {
  static Settings s;
  return s;
}

unsigned long long number_of(const char* text) {
  return text == nullptr ? 0 : std::strtoull(text, nullptr, 10);
}

// Reads the environment on the first counted call; the program's own calls only start after
// the loader has placed this library, so no call is missed that matters.
Settings& ready_settings() {
  Settings& s = settings();
  if (s.ready) return s;
  s.ready = true;
  s.state = &s.local;
  if (const char* path = std::getenv("DORVANE_ATTACK_STATE")) {
    const int fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, O_RDWR | O_CLOEXEC));
    if (fd >= 0) {
      void* map = ::mmap(nullptr, sizeof(AttackState), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
      ::syscall(SYS_close, fd);
      if (map != MAP_FAILED) s.state = static_cast<AttackState*>(map);
    }
  }
  s.fail_at = number_of(std::getenv("DORVANE_ATTACK_FAIL_AT"));
  s.kill_at = number_of(std::getenv("DORVANE_ATTACK_KILL_AT"));
  const char* error = std::getenv("DORVANE_ATTACK_ERRNO");
  s.error = error != nullptr && std::strcmp(error, "ENOSPC") == 0 ? ENOSPC : EIO;
  if (const char* log = std::getenv("DORVANE_ATTACK_LOG"))
    s.log_fd = static_cast<int>(
        ::syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  return s;
}

// What a descriptor refers to, for the record of a failed call.
void describe_fd(int fd, char* out, std::size_t size) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[AttackState::kWhatSize];
  const long n = ::syscall(SYS_readlinkat, AT_FDCWD, link, target, sizeof target - 1);
  target[n > 0 ? n : 0] = '\0';
  std::snprintf(out, size, "fd %d %s", fd, target);
}

unsigned flags_of_fd(int fd) {
  if (fd < 0) return 0;
  unsigned flags = 0;
  if (fd == 1) flags |= kAttackStandardOutput;
  if (fd == 2) flags |= kAttackStandardError;
  struct stat st;
  if (::fstat(fd, &st) == 0) {
    if (S_ISDIR(st.st_mode)) flags |= kAttackDirectory;
    const int mode = ::fcntl(fd, F_GETFL);
    if (S_ISREG(st.st_mode) && mode >= 0 && (mode & O_ACCMODE) != O_RDONLY)
      flags |= kAttackWrittenFile;
  }
  return flags;
}

// Counts a call; true when this one is to fail (the error is then set). fd (or -1) and the
// words describe what the call is about.
bool fails(const char* call, int fd, const char* first, const char* second = nullptr,
           bool writing = false) {
  const int saved = errno;  // a call that goes through sees errno as the program left it
  Settings& s = ready_settings();
  const unsigned long long n = __atomic_add_fetch(&s.state->calls, 1, __ATOMIC_SEQ_CST);
  if (s.kill_at != 0 && n == s.kill_at) ::syscall(SYS_kill, ::getpid(), SIGKILL);
  const bool failing = s.fail_at != 0 && n == s.fail_at;
  if (s.log_fd < 0 && !failing) {
    errno = saved;
    return false;
  }
  char what[AttackState::kWhatSize];
  if (fd >= 0 && first == nullptr) {
    char target[AttackState::kWhatSize];
    describe_fd(fd, target, sizeof target);
    std::snprintf(what, sizeof what, "%s %s", call, target);
  } else {
    std::snprintf(what, sizeof what, "%s %s%s%s%s", call, first ? first : "", second ? " -> " : "",
                  second ? second : "", writing ? " (writing)" : "");
  }
  if (s.log_fd >= 0) {
    char line[AttackState::kWhatSize + 32];
    const int length = std::snprintf(line, sizeof line, "%llu %s\n", n, what);
    if (length > 0)
      ::syscall(SYS_write, s.log_fd, line,
                static_cast<std::size_t>(length) < sizeof line ? length : sizeof line - 1);
  }
  if (!failing) {
    errno = saved;
    return false;
  }
  s.state->failed_call = n;
  s.state->failed_flags = flags_of_fd(fd);
  std::snprintf(s.state->failed_what, sizeof s.state->failed_what, "%s", what);
  errno = s.error;
  return true;
}

template <typename F>
F next(const char* name) {
  void* symbol = ::dlsym(RTLD_NEXT, name);
  F function;
  static_assert(sizeof function == sizeof symbol);
  std::memcpy(&function, &symbol, sizeof function);
  return function;
}

#define REAL(name) static const auto real = next<decltype(&::name)>(#name)

// stdio keeps an error mark on the stream; a failed call sets it as the real one would.
void mark_error(FILE* stream) {
  if (stream != nullptr) stream->_flags |= 0x0020;  // glibc's _IO_ERR_SEEN
}

// Opens that may create or change a file are marked in the log, so the driver knows the names
// a command writes.
bool opens_for_writing(int flags) {
  return (flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT) != 0;
}

int open_with(int (*real)(const char*, int, ...), const char* name, const char* path, int flags,
              mode_t mode) {
  if (fails(name, -1, path, nullptr, opens_for_writing(flags))) return -1;
  return real(path, flags, mode);
}

int openat_with(int (*real)(int, const char*, int, ...), const char* name, int dir,
                const char* path, int flags, mode_t mode) {
  if (fails(name, -1, path, nullptr, opens_for_writing(flags))) return -1;
  return real(dir, path, flags, mode);
}

mode_t mode_of(int flags, va_list args) {
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE
             ? static_cast<mode_t>(va_arg(args, int))
             : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  REAL(open);
  va_list args;
  va_start(args, flags);
  const mode_t mode = mode_of(flags, args);
  va_end(args);
  return open_with(real, "open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  REAL(open64);
  va_list args;
  va_start(args, flags);
  const mode_t mode = mode_of(flags, args);
  va_end(args);
  return open_with(real, "open", path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
  REAL(openat);
  va_list args;
  va_start(args, flags);
  const mode_t mode = mode_of(flags, args);
  va_end(args);
  return openat_with(real, "openat", dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
  REAL(openat64);
  va_list args;
  va_start(args, flags);
  const mode_t mode = mode_of(flags, args);
  va_end(args);
  return openat_with(real, "openat", dir, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
  REAL(fopen);
  if (fails("fopen", -1, path, nullptr, mode[0] != 'r' || std::strchr(mode, '+') != nullptr))
    return nullptr;
  return real(path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
  REAL(fopen64);
  if (fails("fopen", -1, path, nullptr, mode[0] != 'r' || std::strchr(mode, '+') != nullptr))
    return nullptr;
  return real(path, mode);
}

DIR* opendir(const char* path) {
  REAL(opendir);
  if (fails("opendir", -1, path)) return nullptr;
  return real(path);
}

ssize_t read(int fd, void* buffer, size_t n) {
  REAL(read);
  if (fails("read", fd, nullptr)) return -1;
  return real(fd, buffer, n);
}

size_t fread(void* buffer, size_t size, size_t n, FILE* stream) {
  REAL(fread);
  if (fails("fread", ::fileno(stream), nullptr)) {
    mark_error(stream);
    return 0;
  }
  return real(buffer, size, n, stream);
}

ssize_t write(int fd, const void* buffer, size_t n) {
  REAL(write);
  if (fails("write", fd, nullptr)) return -1;
  return real(fd, buffer, n);
}

size_t fwrite(const void* buffer, size_t size, size_t n, FILE* stream) {
  REAL(fwrite);
  if (fails("fwrite", ::fileno(stream), nullptr)) {
    mark_error(stream);
    return 0;
  }
  return real(buffer, size, n, stream);
}

int fflush(FILE* stream) {
  REAL(fflush);
  // fflush(nullptr), run for every stream at exit, is not one file's call.
  if (stream != nullptr && fails("fflush", ::fileno(stream), nullptr)) {
    mark_error(stream);
    return EOF;
  }
  return real(stream);
}

int fsync(int fd) {
  REAL(fsync);
  if (fails("fsync", fd, nullptr)) return -1;
  return real(fd);
}

int fdatasync(int fd) {
  REAL(fdatasync);
  if (fails("fdatasync", fd, nullptr)) return -1;
  return real(fd);
}

int syncfs(int fd) {
  REAL(syncfs);
  if (fails("syncfs", fd, nullptr)) return -1;
  return real(fd);
}

int rename(const char* from, const char* to) {
  REAL(rename);
  if (fails("rename", -1, from, to)) return -1;
  return real(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  REAL(renameat);
  if (fails("renameat", -1, from, to)) return -1;
  return real(from_dir, from, to_dir, to);
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  REAL(renameat2);
  if (fails("renameat2", -1, from, to)) return -1;
  return real(from_dir, from, to_dir, to, flags);
}

int unlink(const char* path) {
  REAL(unlink);
  if (fails("unlink", -1, path)) return -1;
  return real(path);
}

int unlinkat(int dir, const char* path, int flags) {
  REAL(unlinkat);
  if (fails("unlinkat", -1, path)) return -1;
  return real(dir, path, flags);
}

int remove(const char* path) {
  REAL(remove);
  if (fails("remove", -1, path)) return -1;
  return real(path);
}

struct dirent* readdir(DIR* stream) {
  REAL(readdir);
  if (fails("readdir", ::dirfd(stream), nullptr)) return nullptr;
  return real(stream);
}

struct dirent64* readdir64(DIR* stream) {
  REAL(readdir64);
  if (fails("readdir", ::dirfd(stream), nullptr)) return nullptr;
  return real(stream);
}

ssize_t getdents64(int fd, void* buffer, size_t n) {
  REAL(getdents64);
  if (fails("getdents64", fd, nullptr)) return -1;
  return real(fd, buffer, n);
}

// A failed close still releases the descriptor (as Linux's does); only the error is added.
int close(int fd) {
  REAL(close);
  const bool failed = fails("close", fd, nullptr);
  const int error = errno;
  const int result = real(fd);
  if (!failed) return result;
  errno = error;
  return -1;
}

int fclose(FILE* stream) {
  REAL(fclose);
  const bool failed = fails("fclose", ::fileno(stream), nullptr);
  const int error = errno;
  const int result = real(stream);
  if (!failed) return result;
  errno = error;
  return EOF;
}

int closedir(DIR* stream) {
  REAL(closedir);
  const bool failed = fails("closedir", ::dirfd(stream), nullptr);
  const int error = errno;
  const int result = real(stream);
  if (!failed) return result;
  errno = error;
  return -1;
}

}  // extern "C"
