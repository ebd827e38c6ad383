#include "platform/locked_open.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <chrono>
#include <thread>
#endif

#include "e2e/harness.h"

namespace vorel {
namespace {

std::vector<std::string> g_notices;
void record_notice(const char* name) { g_notices.push_back(name); }

#ifndef _WIN32

// A child process holds an exclusive lock on bytes 0-15, then creates a
// marker file just before it releases the lock. A shared open in the parent
// must wait for the release, so the marker exists when the open returns; it
// announces the wait once, before waiting.
TEST(LockedOpen, SharedOpenWaitsForAnExclusiveLock) {
  g_notices.clear();
  e2e::TempDir dir;
  const std::string file = dir.file("profile.dpi"), marker = dir.file("released");
  e2e::write_file(file, "0123456789abcdefXYZ");
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int fd = ::open(file.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;  // l_whence SEEK_SET is 0
    lock.l_len = 16;
    if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0 || ::write(ready[1], "L", 1) != 1) _exit(2);
    ::usleep(300 * 1000);
    ::close(::open(marker.c_str(), O_CREAT | O_WRONLY, 0644));
    _exit(0);  // the lock goes with the process
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  EXPECT_FALSE(e2e::file_exists(marker));  // still held
  std::FILE* f = open_with_lock(file.c_str(), "rb", record_notice);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(e2e::file_exists(marker)) << "the shared open did not wait";
  EXPECT_EQ(g_notices, std::vector<std::string>{file});
  char head[4] = {};
  EXPECT_TRUE(std::fread(head, 1, 3, f) == 3 && std::string(head) == "012");
  // A second shared open does not wait for the first.
  std::FILE* g = open_with_lock(file.c_str(), "rt", record_notice);
  EXPECT_NE(g, nullptr);
  EXPECT_EQ(g_notices.size(), 1u);
  std::fclose(f);
  if (g) std::fclose(g);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : ready) ::close(fd);
}

#else
// Windows: LockFileEx locks belong to a handle, so a second thread's handle
// stands in for the other process. The thread takes the exclusive lock
// through open_with_lock itself, creates the marker and then releases it.
TEST(LockedOpen, SharedOpenWaitsForAnExclusiveLock) {
  g_notices.clear();
  e2e::TempDir dir;
  const std::string file = dir.file("profile.dpi"), marker = dir.file("released");
  e2e::write_file(file, "0123456789abcdefXYZ");
  std::FILE* held = open_with_lock(file.c_str(), "r+b", record_notice);
  ASSERT_NE(held, nullptr);
  std::thread holder([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    e2e::write_file(marker, "");
    std::fclose(held);
  });
  std::FILE* f = open_with_lock(file.c_str(), "rb", record_notice);
  ASSERT_NE(f, nullptr);
  EXPECT_TRUE(e2e::file_exists(marker)) << "the shared open did not wait";
  EXPECT_EQ(g_notices, std::vector<std::string>{file});
  char head[4] = {};
  EXPECT_TRUE(std::fread(head, 1, 3, f) == 3 && std::string(head) == "012");
  std::FILE* g = open_with_lock(file.c_str(), "rt", record_notice);  // shared opens do not wait
  EXPECT_NE(g, nullptr);
  EXPECT_EQ(g_notices.size(), 1u);
  std::fclose(f);
  if (g) std::fclose(g);
  holder.join();
}
#endif

}  // namespace
}  // namespace vorel
