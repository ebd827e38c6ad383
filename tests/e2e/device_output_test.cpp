// Outputs named on the command line that are devices or links: a device or
// /dev/stdout is written directly, never replaced; a symbolic link to a file
// is followed and the file replaced; no temporary name goes through a link.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "cli_expect.h"
#include "e2e/program_inputs.h"
#include "spawn.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

ino_t inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::string kind(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "missing";
  return S_ISLNK(st.st_mode) ? "link" : S_ISCHR(st.st_mode) ? "device" : S_ISREG(st.st_mode) ? "file" : "other";
}

// Devices: the runs go on in a child with a mount namespace of its own,
// whose /dev is a fresh tmpfs holding null and the stdout link, so the
// machine's own /dev is never at risk. The child writes what it finds to
// `state`.
TEST(DeviceOutput, DevicesAndDescriptorLinksAreWrittenDirectly) {
  TempDir dir;
  write_inputs(dir, pw::Program{{module("f.c", {pw::routine("f", 1, 2, {{1, 1, 1, {1}}})})}}, {{"f.c", "f\n"}});
  const std::string json = source_dir() + "/tests/e2e/data/import_outputs/one.gcov.json";
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/dev", "tmpfs", 0, "size=64k") != 0 ||
        ::mknod("/dev/null", S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::symlink("/proc/self/fd/1", "/dev/stdout") != 0)
      ::_exit(77);
    const std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-srcroot", "src", "-nopmeter",
                                           "-nohtml", "--lcov", "/dev/stdout", "-txtfcvrg", "/dev/null"};
    write_file(dir.file("stdout.txt"), "");
    const ino_t file = inode(dir.file("stdout.txt"));  // the file is written, not replaced
    const int report = wait_for(spawn(vorelcov_path(), args, dir.path(), dir.file("stdout.txt")));
    const int import = wait_for(spawn(importer_path(), {"--keep-external", "--no-markers", "--spi", "/dev/null", "--dpi", "i.dpi", json}, dir.path()));
    std::string state = std::to_string(report) + " " + std::to_string(import) + " " + kind("/dev/stdout") + " " +
                        kind("/dev/null") + (inode(dir.file("stdout.txt")) == file ? " same" : " replaced") + " in /dev:";
    for (const std::string& name : list_dir("/dev")) state += " " + name;
    write_file(dir.file("state"), state);
    ::_exit(0);
  }
  if (wait_for(child) == 77) GTEST_SKIP() << "needs a private mount namespace (unshare -m: root or user namespaces)";
  EXPECT_EQ(dir.read("state"), "0 0 link device same in /dev: null stdout");
  EXPECT_EQ(dir.read("stdout.txt").rfind("TN:\nSF:", 0), 0u) << dir.read("stdout.txt");
  EXPECT_TRUE(file_exists(dir.file("i.dpi")));
}

TEST(DeviceOutput, LinksToFilesAreFollowed) {
  TempDir dir;
  write_inputs(dir, pw::Program{{module("f.c", {pw::routine("f", 1, 2, {{1, 1, 1, {1}}})})}}, {{"f.c", "f\n"}});
  std::filesystem::create_directory(dir.file("lists"));
  std::filesystem::create_symlink("lists/real.txt", dir.file("list.txt"));  // to a name not made yet
  std::filesystem::create_symlink("victim", dir.file("i.spi.part"));       // a trap for a fixed temporary name
  write_file(dir.file("victim"), "keep");
  EXPECT_EQ(run_inputs(dir, {"-nohtml", "-txtfcvrg", "list.txt"}).status, 0);
  EXPECT_EQ(kind(dir.file("list.txt")), "link");
  EXPECT_NE(dir.read("lists/real.txt").find("f"), std::string::npos);
  const std::string json = source_dir() + "/tests/e2e/data/import_outputs/one.gcov.json";
  std::filesystem::create_symlink("lists/real.spi", dir.file("i.spi"));
  write_file(dir.file("lists/real.spi"), "old");
  EXPECT_EQ(run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "i.spi", "--dpi", "i.dpi", json}, dir.path()).status, 0);
  EXPECT_EQ(kind(dir.file("i.spi")), "link");
  EXPECT_NE(dir.read("lists/real.spi"), "old");
  EXPECT_EQ(dir.read("victim"), "keep");
}

}  // namespace
}  // namespace e2e
#endif
