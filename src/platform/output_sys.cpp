// POSIX: the system calls under the output files.
#include "platform/output_sys.h"

#include <pthread.h>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>

#include <map>
#include <mutex>
#include <thread>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/vfs.h>
#endif

#include "platform/fs.h"

namespace vorel::output_sys {

Kind kind_of(const std::string& path, bool follow, unsigned* mode) {
  struct stat st {};
  if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return Kind::kMissing;
  if (mode) *mode = st.st_mode & 07777;
  if (S_ISREG(st.st_mode)) return Kind::kFile;
  if (S_ISDIR(st.st_mode)) return Kind::kDirectory;
  return S_ISLNK(st.st_mode) ? Kind::kLink : Kind::kOther;
}

namespace {

std::string parent_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A link in /proc stands for an open descriptor, not for the name it shows.
bool in_proc(const std::string& link) {
#ifdef __linux__
  struct statfs fs {};
  constexpr long kProcMagic = 0x9fa0;
  return ::statfs(parent_of(link).c_str(), &fs) == 0 && static_cast<long>(fs.f_type) == kProcMagic;
#else
  return link.rfind("/proc/", 0) == 0 || link.rfind("/dev/fd/", 0) == 0;
#endif
}

}  // namespace

Kind resolve(const std::string& path, std::string* final) {
  std::string at = path;
  for (int hop = 0; hop < 40; ++hop) {
    const Kind kind = kind_of(at, false);
    *final = at;
    if (kind != Kind::kLink) return kind;
    if (in_proc(at)) return Kind::kOther;
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return Kind::kLink;
    target.resize(static_cast<size_t>(n));
    at = target[0] == '/' || at.find('/') == std::string::npos ? target : parent_of(at) + "/" + target;
  }
  errno = ELOOP;
  return Kind::kLink;
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
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  if (keep_mode) (void)::fchmod(fd, mode);
  std::FILE* stream = ::fdopen(fd, "w");
  if (!stream) {
    const int saved = errno;
    ::close(fd);
    ::unlink(path.c_str());
    errno = saved;
  }
  return stream;
}

bool rename_over(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

void remove_file(const std::string& path) { ::unlink(path.c_str()); }

bool make_directory(const std::string& path, bool keep_mode, unsigned mode) {
  if (::mkdir(path.c_str(), 0777) != 0) return false;
  if (keep_mode) (void)::chmod(path.c_str(), mode);
  return true;
}

unsigned long process_id() { return static_cast<unsigned long>(::getpid()); }

LockState lock(const std::string& path, bool wait) {
  static std::mutex mutex;
  static std::map<std::pair<dev_t, ino_t>, int> held;  // kept until the process ends
  std::lock_guard<std::mutex> guard(mutex);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    if (fd >= 0) ::close(fd);
    return LockState::kUnsupported;
  }
  if (held.count({st.st_dev, st.st_ino})) {
    ::close(fd);
    return LockState::kAcquired;
  }
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    const LockState state = errno == EWOULDBLOCK ? LockState::kBusy : LockState::kUnsupported;
    ::close(fd);
    return state;
  }
  held[{st.st_dev, st.st_ino}] = fd;
  return LockState::kAcquired;
}

std::filesystem::path native(const std::string& path) { return std::filesystem::path(path); }

std::string absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return current_directory().value_or(".") + "/" + path;
}

FileId file_id(const std::string& path, bool follow) {
  FileId id;
  struct stat st {};
  if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0) {
    id.exists = true;
    id.stream = !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    id.device = static_cast<uint64_t>(st.st_dev);
    id.inode = static_cast<uint64_t>(st.st_ino);
  }
  std::string base = path;
  const size_t slash = path.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (slash != std::string::npos) base = path.substr(slash + 1);
  if (char* real = ::realpath(dir.c_str(), nullptr)) {
    dir = real;
    std::free(real);
    id.canonical = dir + (dir == "/" ? "" : "/") + base;
  } else {
    id.canonical = std::filesystem::path(absolute(path)).lexically_normal().string();
  }
  return id;
}

namespace {

void (*g_clean)() = nullptr;

}  // namespace

void on_stop(void (*clean)()) {
  static std::once_flag once;
  std::call_once(once, [clean] {
    g_clean = clean;
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) sigaddset(&set, sig);
    }
    // Blocked here, before the run starts its workers (they inherit the
    // mask): the signals reach only the thread below, which cleans up and
    // then lets the signal end the process as it would have.
    if (::pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0) return;
    std::thread([set] {
      int sig = 0;
      while (::sigwait(&set, &sig) != 0) {
      }
      g_clean();
      std::signal(sig, SIG_DFL);
      sigset_t one;
      sigemptyset(&one);
      sigaddset(&one, sig);
      ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
      std::raise(sig);
      std::_Exit(128 + sig);
    }).detach();
  });
}

}  // namespace vorel::output_sys
