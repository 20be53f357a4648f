// The one place where core asks the host about paths, directories and programs: the path
// separator, how names compare, the machine's roots, the directory listing of the discovery
// walk (entry types from the listing itself, devices and file-system types), and running a
// helper program.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace core::platform {

// Whether c separates path components ('/'; on Windows also '\').
bool is_separator(char c);
// The separator this host writes between path components.
char separator();
// c as names compare on this host: Windows names compare without regard to case, POSIX names
// exactly.
char fold_name_char(char c);
// Drops the separator of a drive root ("C:\" becomes "C:", as the walk's paths begin) on
// hosts with drives; elsewhere text is left as it is.
void trim_drive_root(std::string& text);

// The roots every machine of this kind has: "/" on POSIX hosts, the drive roots ("C:\") on
// Windows.
std::vector<std::string> fixed_roots();
// The user's home directory as the environment gives it, when it is an absolute path;
// nullopt on hosts whose roots leave it out.
std::optional<std::string> home_directory();
// The text of the host's mounts table (/proc/self/mounts); empty where there is none.
std::string mounts_table();

struct WalkEntry {
  std::string name;
  bool is_directory = false;  // a real directory; a symbolic link never counts as one
  bool is_symlink = false;
};

struct WalkListing {
  std::uint64_t device = 0;  // the device holding the directory (0 where the host has none)
  std::vector<WalkEntry> entries;
};

enum class WalkOpen {
  kListed,      // entries filled
  kUnreadable,  // the directory could not be opened or read
  kVirtual,     // a virtual file system (process, kernel or device tables): not entered
};

// Lists dir for the walk. parent_device is the device of the directory dir was reached from
// (nullopt for the walk's root); the file-system type is examined only when the device
// differs, so a walk costs one status call per directory. Never follows a symbolic link at
// the last component of dir unless dir is the root.
WalkOpen list_for_walk(const std::string& dir, std::optional<std::uint64_t> parent_device,
                       WalkListing& out);

// Whether the symbolic link at path leads to something other than a directory (false when it
// leads nowhere).
bool link_leads_to_non_directory(const std::string& path);

// The path of the running program's own executable; nullopt where the host cannot tell.
std::optional<std::string> own_executable();
// The name of program files on this host: name itself on POSIX, name + ".exe" on Windows.
std::string program_file_name(const std::string& name);
// Whether path names an existing file this process may run.
bool is_runnable_file(const std::string& path);

// Outcome of running a program to its end.
struct ProgramRun {
  bool started = false;  // false: the program could not be started (error says why)
  int exit_code = -1;    // its exit code; 128 + the signal's number when a signal ended it
  std::string error;
};
// Runs program with args (argv[1..], each passed as one word) and waits for it. The program
// shares this process's standard input, output and error. A program named without a directory
// is looked up on the PATH.
ProgramRun run_program(const std::string& program, const std::vector<std::string>& args);

// Whether the process's standard error is a terminal (a progress line is shown only there).
bool stderr_is_terminal();
// Makes Ctrl+C (SIGINT) and SIGTERM set the returned flag instead of ending the process, so a
// long command can stop between steps and clean up. The handler only sets the flag.
const std::atomic<bool>& catch_stop_signals();

}  // namespace core::platform
