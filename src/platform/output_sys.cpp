// POSIX: the system calls under the output files.
#include "platform/output_sys.h"

#include <pthread.h>
#include <cerrno>
#include <fcntl.h>

#include <atomic>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorel::output_sys {

Kind kind_of(const std::string& path, bool follow, unsigned* mode) {
  struct stat st {};
  if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return Kind::kMissing;
  if (mode) *mode = st.st_mode & 07777;
  if (S_ISREG(st.st_mode)) return Kind::kFile;
  if (S_ISDIR(st.st_mode)) return Kind::kDirectory;
  return S_ISLNK(st.st_mode) ? Kind::kLink : Kind::kOther;
}

bool writable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

std::FILE* open_device(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::fdopen(fd, "w");
  if (!stream) ::close(fd);
  return stream;
}

std::FILE* create_new(const std::string& path, bool keep_mode, unsigned mode, bool) {
  // "x" creates the file new (O_EXCL, which also refuses a symbolic link at
  // `path`), "e" closes it on exec: one system call, where open and fdopen
  // took two.
  std::FILE* stream = std::fopen(path.c_str(), "wxe");
  if (stream && keep_mode) (void)::fchmod(::fileno(stream), mode);
  return stream;
}

bool rename_over(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

void remove_file(const std::string& path) { ::unlink(path.c_str()); }
void remove_directory(const std::string& path) { ::rmdir(path.c_str()); }
bool make_directory(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }
namespace {
std::atomic<unsigned long> cached_pid{0};
}  // namespace

// Asked for every temporary name: the system call is made once, and again
// in a forked child.
unsigned long process_id() {
  static const bool reset_in_child = ::pthread_atfork(nullptr, nullptr, [] { cached_pid = 0; }) == 0;
  (void)reset_in_child;
  unsigned long pid = cached_pid.load(std::memory_order_relaxed);
  if (pid == 0) {
    pid = static_cast<unsigned long>(::getpid());
    cached_pid.store(pid, std::memory_order_relaxed);
  }
  return pid;
}

LockState lock(const std::string& path, bool wait) {
  static int lock_fd = -1;
  if (lock_fd < 0) lock_fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (lock_fd < 0) return LockState::kUnsupported;
  while (::flock(lock_fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? LockState::kBusy : LockState::kUnsupported;
  }
  return LockState::kAcquired;
}

}  // namespace vorel::output_sys
