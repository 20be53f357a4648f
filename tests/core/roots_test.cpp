#include "core/roots.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A desktop machine's table: the root and a data disk are real, a USB stick has a blank in its
// label, the rest are kernel, container and desktop helpers.
constexpr const char* kDesktopMounts =
    "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n"
    "proc /proc proc rw,nosuid,nodev,noexec,relatime 0 0\n"
    "sysfs /sys sysfs rw,nosuid,nodev,noexec,relatime 0 0\n"
    "udev /dev devtmpfs rw,nosuid,relatime 0 0\n"
    "devpts /dev/pts devpts rw 0 0\n"
    "tmpfs /run tmpfs rw,nosuid,nodev 0 0\n"
    "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
    "/dev/nvme0n1p1 /boot/efi vfat rw 0 0\n"
    "/dev/sdb1 /mnt/data ext4 rw 0 0\n"
    "/dev/sdc1 /media/ann/MY\\040STICK vfat rw 0 0\n"
    "/dev/loop3 /snap/core/123 squashfs ro 0 0\n"
    "overlay /var/lib/docker/overlay2/abc/merged overlay rw 0 0\n"
    "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n"
    "ann@host: /home/ann/remote fuse.sshfs rw 0 0\n"
    "systemd-1 /proc/sys/fs/binfmt_misc autofs rw 0 0\n"
    "/dev/sda9 /dev/odd ext4 rw 0 0\n"
    "garbage-line-without-fields\n"
    "\n"
    "/dev/sdd1 relative/point ext4 rw 0 0";

TEST(RealMountPoints, KeepsRealFileSystemsAndDecodesEscapes) {
  const std::vector<std::string> expected = {"/", "/boot/efi", "/mnt/data", "/media/ann/MY STICK",
                                             "/home/ann/remote"};
  EXPECT_EQ(core::real_mount_points(kDesktopMounts), expected);
}

TEST(RealMountPoints, VirtualTypes) {
  for (const char* type :
       {"proc", "sysfs", "tmpfs", "cgroup", "overlay", "squashfs", "fuse.portal"})
    EXPECT_TRUE(core::is_virtual_file_system(type)) << type;
  for (const char* type : {"xfs", "btrfs", "ntfs3", "nfs4", "fuseblk", "fuse.sshfs", "iso9660"})
    EXPECT_FALSE(core::is_virtual_file_system(type)) << type;
}

TEST(RealMountPoints, OctalEscapesForTabBackslashAndTrailingSlash) {
  EXPECT_EQ(core::real_mount_points("d /a\\011b\\134c/ ext4 rw 0 0\n"),
            std::vector<std::string>{"/a\tb\\c"});
  // A backslash that does not start a three-digit octal escape stays as it is.
  EXPECT_EQ(core::real_mount_points("d /x\\9y\\04 ext4 rw 0 0\n"),
            std::vector<std::string>{"/x\\9y\\04"});
}

TEST(ListRoots, HoldsRootAndHomeSortedWithoutDuplicates) {
  const auto roots = core::list_roots();
  ASSERT_FALSE(roots.empty());
  EXPECT_EQ(roots.front(), "/");
  EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
  EXPECT_EQ(std::adjacent_find(roots.begin(), roots.end()), roots.end());
  for (const auto& root : roots) EXPECT_NE(root.rfind("/proc", 0), 0u) << root;
}

// The longest root ending on a component boundary, or none when no root holds the path.
TEST(LongestRootFor, EndsOnComponentBoundary) {
  const std::vector<std::string> roots = {"/", "/home", "/home/ann", "/mnt/data"};
  const std::pair<const char*, const char*> cases[] = {{"/home/ann/stocks", "/home/ann"},
                                                       {"/home/annie", "/home"},
                                                       {"/homework/x", "/"},
                                                       {"/home/", "/home"},
                                                       {"/mnt/database", "/"},
                                                       {"/", "/"},
                                                       {"relative/path", ""},
                                                       {"", ""}};
  for (const auto& [path, root] : cases)
    EXPECT_EQ(core::longest_root_for(path, roots), root) << path;
  EXPECT_EQ(core::longest_root_for("/srv/x", {"/home", "/mnt"}), "");
  EXPECT_EQ(core::longest_root_for("/srv/x", {}), "");
}

}  // namespace
