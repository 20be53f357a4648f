// The roots the app offers for a portfolio scan in place of drive letters: on Linux and other
// POSIX hosts "/", the user's home directory and the mount points of real file systems; on
// Windows the drive roots.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The roots of this machine, sorted, without duplicates. Each entry is the path itself ("/",
// "/home/ann", "/mnt/data"); on Windows each is a drive root ("C:\").
std::vector<std::string> list_roots();

// The mount points of real file systems listed in a mounts table (the text of
// /proc/self/mounts: "device mount-point type options dump pass" per line), in table order,
// with their octal escapes ("\040" for a blank) decoded. Virtual file systems are left out.
std::vector<std::string> real_mount_points(std::string_view mounts_text);

// True for the file-system types that hold no user files (proc, sysfs, tmpfs, cgroup,
// overlay, ...).
bool is_virtual_file_system(std::string_view type);

// The listed root that is the longest leading part of path, ending on a path-component
// boundary ("/home" holds "/home/ann" but not "/homework"); empty when no root holds it.
std::string longest_root_for(const std::string& path, const std::vector<std::string>& roots);

}  // namespace core
