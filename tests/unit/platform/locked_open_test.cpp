#include "platform/locked_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorel {
namespace {

class LockedOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorelcov-lock-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    file_ = dir_ + "/profile.dpi";
    marker_ = dir_ + "/released";
    std::FILE* f = std::fopen(file_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("0123456789abcdefXYZ", f);
    std::fclose(f);
  }
  void TearDown() override {
    ::unlink(file_.c_str());
    ::unlink(marker_.c_str());
    ::rmdir(dir_.c_str());
  }
  std::string dir_, file_, marker_;
};

// A child process holds an exclusive lock on bytes 0-15, then creates the
// marker file just before it releases the lock. A shared open in the parent
// must wait for the release, so the marker exists when the open returns.
TEST_F(LockedOpen, SharedOpenWaitsForAnExclusiveLock) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int fd = ::open(file_.c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 16;
    if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0) _exit(2);
    if (::write(ready[1], "L", 1) != 1) _exit(3);
    ::usleep(300 * 1000);
    int m = ::open(marker_.c_str(), O_CREAT | O_WRONLY, 0644);
    if (m < 0) _exit(4);
    ::close(m);
    _exit(0);  // the lock goes with the process
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  struct stat st;
  EXPECT_NE(::stat(marker_.c_str(), &st), 0);  // still held
  std::FILE* f = open_with_lock(file_.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(::stat(marker_.c_str(), &st), 0) << "the shared open did not wait";
  char head[4] = {};
  EXPECT_EQ(std::fread(head, 1, 3, f), 3u);
  EXPECT_EQ(std::string(head), "012");
  std::fclose(f);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(LockedOpen, MissingFileGivesNullSilently) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(open_with_lock((dir_ + "/none.spi").c_str(), "rt"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(LockedOpen, TwoSharedOpensDoNotBlockEachOther) {
  std::FILE* a = open_with_lock(file_.c_str(), "rb");
  std::FILE* b = open_with_lock(file_.c_str(), "rt");
  EXPECT_NE(a, nullptr);
  EXPECT_NE(b, nullptr);
  if (a) std::fclose(a);
  if (b) std::fclose(b);
}

}  // namespace
}  // namespace vorel
